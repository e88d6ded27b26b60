// Text made safe for the --html page, which must be well-formed XML as well
// as HTML: names come from files and may hold any bytes but whitespace.
// '&', '<', '>', '"' and '\'' become character references; bytes that are
// not well-formed UTF-8, and characters that XML does not allow or that are
// invisible controls (U+0000-U+001F, U+007F-U+009F, U+FFFE, U+FFFF), become
// U+FFFD, the replacement character. The result may stand in element text
// and in attribute values alike.
#ifndef PROGRESS_XML_TEXT_H_
#define PROGRESS_XML_TEXT_H_

#include <string>
#include <string_view>

namespace progress {

// Appends `text`, made safe as above, to `out`.
void append_xml_text(std::string_view text, std::string* out);

}  // namespace progress

#endif  // PROGRESS_XML_TEXT_H_
