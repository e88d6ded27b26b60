# GoogleTest built from the sources that Debian's googletest package ships
# (DRILL_GTEST_SOURCE_DIR, the googletest/ folder in /usr/src/googletest), for
# machines without the library and for cross builds, which find no GoogleTest
# package for their target system. The targets get the names that
# find_package(GTest) gives, so the tests link the same either way.
add_library(drill_gtest STATIC ${DRILL_GTEST_SOURCE_DIR}/src/gtest-all.cc)
target_include_directories(drill_gtest SYSTEM PUBLIC ${DRILL_GTEST_SOURCE_DIR}/include)
target_include_directories(drill_gtest PRIVATE ${DRILL_GTEST_SOURCE_DIR})
# Its own code, not ours: its warnings are not ours to fix.
target_compile_options(drill_gtest PRIVATE -w)
find_package(Threads)
if(Threads_FOUND)
  target_link_libraries(drill_gtest PUBLIC Threads::Threads)
endif()
add_library(GTest::gtest ALIAS drill_gtest)

add_library(drill_gtest_main STATIC ${PROJECT_SOURCE_DIR}/tests/gtest_main.cc)
target_link_libraries(drill_gtest_main PUBLIC drill_gtest)
add_library(GTest::gtest_main ALIAS drill_gtest_main)
