#include "version_languages.h"

namespace quavik::version {

namespace {

struct LanguageName {
    std::uint16_t id;
    std::string_view name;
};

constexpr std::uint16_t kPrimaryLanguageMask = 0x03FF;
constexpr std::string_view kNeutralName = "语言非特定";

// Language identifiers and their names.
// clang-format off
constexpr LanguageName kLanguageNames[] = {
    {0x0000, "语言非特定"},
    {0x0004, "中文(简体)"},
    {0x0401, "阿拉伯语(沙特阿拉伯)"},
    {0x0402, "保加利亚语(保加利亚)"},
    {0x0403, "加泰罗尼亚语(加泰罗尼亚)"},
    {0x0404, "中文(繁体，台湾)"},
    {0x0405, "捷克语(捷克)"},
    {0x0406, "丹麦语(丹麦)"},
    {0x0407, "德语(德国)"},
    {0x0408, "希腊语(希腊)"},
    {0x0409, "英语(美国)"},
    {0x040A, "西班牙语(西班牙，传统排序)"},
    {0x040B, "芬兰语(芬兰)"},
    {0x040C, "法语(法国)"},
    {0x040D, "希伯来语(以色列)"},
    {0x040E, "匈牙利语(匈牙利)"},
    {0x040F, "冰岛语(冰岛)"},
    {0x0410, "意大利语(意大利)"},
    {0x0411, "日语(日本)"},
    {0x0412, "朝鲜语(韩国)"},
    {0x0413, "荷兰语(荷兰)"},
    {0x0414, "挪威语(博克马尔)(挪威)"},
    {0x0415, "波兰语(波兰)"},
    {0x0416, "葡萄牙语(巴西)"},
    {0x0418, "罗马尼亚语(罗马尼亚)"},
    {0x0419, "俄语(俄罗斯)"},
    {0x041A, "克罗地亚语(克罗地亚)"},
    {0x041B, "斯洛伐克语(斯洛伐克)"},
    {0x041D, "瑞典语(瑞典)"},
    {0x041E, "泰语(泰国)"},
    {0x041F, "土耳其语(土耳其)"},
    {0x0421, "印度尼西亚语(印度尼西亚)"},
    {0x0422, "乌克兰语(乌克兰)"},
    {0x0424, "斯洛文尼亚语(斯洛文尼亚)"},
    {0x0425, "爱沙尼亚语(爱沙尼亚)"},
    {0x0426, "拉脱维亚语(拉脱维亚)"},
    {0x0427, "立陶宛语(立陶宛)"},
    {0x0429, "波斯语(伊朗)"},
    {0x042A, "越南语(越南)"},
    {0x043E, "马来语(马来西亚)"},
    {0x0804, "中文(简体，中国)"},
    {0x0807, "德语(瑞士)"},
    {0x0809, "英语(英国)"},
    {0x080A, "西班牙语(墨西哥)"},
    {0x080C, "法语(比利时)"},
    {0x0810, "意大利语(瑞士)"},
    {0x0813, "荷兰语(比利时)"},
    {0x0814, "挪威语(尼诺斯克)(挪威)"},
    {0x0816, "葡萄牙语(葡萄牙)"},
    {0x0C04, "中文(繁体，香港特别行政区)"},
    {0x0C07, "德语(奥地利)"},
    {0x0C09, "英语(澳大利亚)"},
    {0x0C0A, "西班牙语(西班牙，国际排序)"},
    {0x0C0C, "法语(加拿大)"},
    {0x1004, "中文(简体，新加坡)"},
    {0x1009, "英语(加拿大)"},
    {0x100C, "法语(瑞士)"},
    {0x1404, "中文(繁体，澳门特别行政区)"},
    {0x1409, "英语(新西兰)"},
    {0x1809, "英语(爱尔兰)"},
    {0x7C04, "中文(繁体)"},
};
// clang-format on

// Primary languages, for identifiers whose region the table above does not list.
// clang-format off
constexpr LanguageName kPrimaryLanguageNames[] = {
    {0x01, "阿拉伯语"},
    {0x04, "中文"},
    {0x07, "德语"},
    {0x09, "英语"},
    {0x0A, "西班牙语"},
    {0x0C, "法语"},
    {0x10, "意大利语"},
    {0x11, "日语"},
    {0x12, "朝鲜语"},
    {0x13, "荷兰语"},
    {0x16, "葡萄牙语"},
    {0x19, "俄语"},
};
// clang-format on

}  // namespace

std::string_view language_name(std::uint16_t language) {
    for (const LanguageName& row : kLanguageNames) {
        if (row.id == language) {
            return row.name;
        }
    }
    const std::uint16_t primary = language & kPrimaryLanguageMask;
    for (const LanguageName& row : kPrimaryLanguageNames) {
        if (row.id == primary) {
            return row.name;
        }
    }
    return kNeutralName;
}

}  // namespace quavik::version
