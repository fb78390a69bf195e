#include "pagegenerator.h"

#include "tools/sampleforum/mixer.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrune {

namespace {

// None of these holds a piece of a marker, so markers appear only in rows.
constexpr std::array<std::string_view, 12> Markup = {"<div class=\"post\">",
                                                     "</div>\n",
                                                     "<span class=\"t\">",
                                                     "</span>",
                                                     "<a href=\"/p?id=42\">",
                                                     "</a>",
                                                     "<td>",
                                                     "</td>\n",
                                                     "<p>",
                                                     "</p>\n",
                                                     " hello world ",
                                                     "<br/>"};

// A GB2312 character: both bytes 0xA1..0xFE, lead at most 0xF7.
void AppendChinese(std::string &page, Mixer &mix, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        page += static_cast<char>(0xB0 + mix.Below(0xF7 - 0xB0 + 1));
        page += static_cast<char>(0xA1 + mix.Below(0xFE - 0xA1 + 1));
    }
}

// Laid out as the forum lays out a member's name and level.
void AppendRow(std::string &page, Mixer &mix)
{
    std::string name;
    AppendChinese(name, mix, 1 + mix.Below(14));
    page += "<a href=\"/home/main?id=7\" username=\"" + name + "\">" + name + "</a>";
    page += "<span class=\"l_item_ex\" data-v>" + std::to_string(1 + mix.Below(18)) + "</span>\n";
}

} // namespace

std::string GeneratedPage(std::size_t size)
{
    Mixer mix(936);
    std::string page;
    page.reserve(size + 64);
    while (page.size() < size) {
        const std::size_t pick = mix.Below(100);
        if (pick < 2)
            AppendRow(page, mix);
        else if (pick < 50)
            page += Markup[mix.Below(Markup.size())];
        else
            AppendChinese(page, mix, 1 + mix.Below(40));
    }
    // ASCII at the end, as every real page has, so the last windows fit.
    page += "</body>\n</html>\n\r\n";
    return page;
}

} // namespace kestrune
