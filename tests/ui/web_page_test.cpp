// What the HTML view may navigate to, and the page it shows when a load fails.
#include "ui/web_page.h"

#include <gtest/gtest.h>

namespace quavik {
namespace {

TEST(IsWebAddress, OnlyAbsoluteHttpAndHttpsWithAHost) {
    struct Case {
        const char* name;
        const char* url;
        bool expected;
    };
    const Case cases[] = {
        {"search page", "http://127.0.0.1:8080/num.php?shengfenid=10&shiquid=101&lh=AAAA", true},
        {"https, upper-case scheme", "HTTPS://example.com/", true},
        {"file", "file:///etc/passwd", false},
        {"javascript", "javascript:alert(1)", false},
        {"relative path", "/num.php", false},
        {"leading dash", "-x", false},
        {"no host", "http:///etc/passwd", false},
        {"port without host", "http://:80/", false},
        {"space inside", "http://example.com/a b", false},
        {"control character", "http://example.com/\n", false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(is_web_address(c.url), c.expected);
    }
}

TEST(LoadErrorPage, NamesTheAddressAndTheReasonEscaped) {
    const std::string page =
        load_error_page("http://h/num.php?a=<script>&b=1", "无法连接到服务器（Connection refused）");
    EXPECT_NE(page.find("http://h/num.php?a=&lt;script&gt;&amp;b=1"), std::string::npos);
    EXPECT_NE(page.find("无法连接到服务器（Connection refused）"), std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
}

}  // namespace
}  // namespace quavik
