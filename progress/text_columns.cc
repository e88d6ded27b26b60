#include "progress/text_columns.h"

#include <algorithm>

namespace progress {

ColumnLayout::ColumnLayout(std::vector<Align> aligns)
    : aligns_(std::move(aligns)), widths_(aligns_.size(), 0) {}

void ColumnLayout::measure(std::span<const std::string_view> cells) {
  const std::size_t n = std::min(cells.size(), widths_.size());
  for (std::size_t i = 0; i < n; ++i) widths_[i] = std::max(widths_[i], display_width(cells[i]));
}

void ColumnLayout::write(std::span<const std::string_view> cells, std::string* out) const {
  const std::size_t row_start = out->size();
  for (std::size_t i = 0; i < widths_.size(); ++i) {
    const std::string_view cell = i < cells.size() ? cells[i] : std::string_view();
    const std::size_t width = display_width(cell);
    const std::size_t padding = widths_[i] > width ? widths_[i] - width : 0;
    if (i > 0) out->append("  ");
    if (aligns_[i] == Align::kRight) out->append(padding, ' ');
    out->append(cell);
    if (aligns_[i] == Align::kLeft) out->append(padding, ' ');
  }
  // Left-aligned cells at the end leave padding behind them.
  const std::size_t last = out->find_last_not_of(' ');
  out->resize(last == std::string::npos || last < row_start ? row_start : last + 1);
  out->push_back('\n');
}

std::size_t display_width(std::string_view text) {
  std::size_t width = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  }
  return width;
}

std::string terminal_text(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return shown;
}

}  // namespace progress
