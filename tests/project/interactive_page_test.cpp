// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "project/interactive_page.hpp"

namespace lenstally {
namespace {

constexpr std::string_view kPage =
    "<html><body>\n<script id=\"lenstally-script\">run()</script>\n</html>";

TEST(InteractivePage, holds_the_project_once_and_no_text_of_it_can_end_its_element) {
    const std::string project = R"({"name":"</script><script>alert(1)</script>","groups":[]})";
    const std::optional<std::string> page = PageWithProject(kPage, project);
    ASSERT_TRUE(page);
    EXPECT_EQ(*page, "<html><body>\n"
                     "<script type=\"application/json\" id=\"lenstally-project\">"
                     R"({"name":"\u003c/script>\u003cscript>alert(1)\u003c/script>","groups":[]})"
                     "</script>\n<script id=\"lenstally-script\">run()</script>\n</html>");
    // A page that holds a project already gets the new one in its place.
    EXPECT_EQ(PageWithProject(*page, project), page);
    EXPECT_EQ(PageWithProject("<html>no script</html>", project), std::nullopt);
    // The group selected when it was made is the one it opens on, whatever the page held.
    const std::optional<std::string> onThird = PageWithProject(*page, project, 2);
    ASSERT_TRUE(onThird);
    EXPECT_EQ(onThird->find(R"(id="lenstally-project" data-group="2">{"name")"),
              page->find(R"(id="lenstally-project">{"name")"));
    EXPECT_EQ(PageWithProject(*onThird, project), page);
}

} // namespace
} // namespace lenstally
