// The update-page parser over arbitrary bytes: the first line is the Content-Type header, the
// rest the page. Whatever comes, the parser returns fields or a reason, and fields it returns
// never hold a marker.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "update/update_check.h"
#include "update/update_page.h"
#include "update/version_number.h"

namespace {

void check_fields(const quavik::UpdateFields& fields) {
    for (const std::string* value : {&fields.edition, &fields.download_url, &fields.explain}) {
        for (const quavik::FieldMarkers& field : quavik::kUpdateFieldMarkers) {
            if (quavik::find_text(*value, field.open) > 0 ||
                quavik::find_text(*value, field.close) > 0) {
                std::abort();  // a value that runs over another field's marker
            }
        }
    }
    std::string error;
    (void)quavik::is_newer_version(fields.edition, "1.0.0.0", &error);
    (void)quavik::is_safe_download_url(fields.download_url);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t line_end = input.find('\n');
    const std::string_view content_type =
        line_end == std::string_view::npos ? std::string_view() : input.substr(0, line_end);
    const std::string_view page =
        line_end == std::string_view::npos ? input : input.substr(line_end + 1);

    std::string error;
    if (const auto fields = quavik::parse_update_page(page, content_type, &error)) {
        check_fields(*fields);
    } else if (error.empty()) {
        std::abort();  // a failure always says why
    }
    // The same bytes taken as program text, as a page already converted would be.
    error.clear();
    if (const auto fields = quavik::parse_update_section(page, &error)) {
        check_fields(*fields);
    } else if (error.empty()) {
        std::abort();
    }
    (void)quavik::parse_version_number(page);
    return 0;
}
