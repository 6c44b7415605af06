// The province and city tables of the reference text. Each block lists its cities in the order
// in which the text shows them; that order is neither by ID nor by name.
#include "reference/reference_tables.h"

#include <algorithm>

namespace quavik {

namespace {

// clang-format off
constexpr City kProvince10Cities[] = {
    {101, "呼和浩特"},
    {102, "包头"},
    {106, "乌海"},
    {107, "赤峰"},
    {108, "呼伦贝尔"},
    {113, "兴安盟"},
    {109, "通辽"},
    {103, "乌兰察布"},
    {105, "巴彦淖尔"},
    {114, "阿拉善盟"},
    {104, "鄂尔多斯"},
    {111, "锡林郭勒盟"},
};

constexpr City kProvince11Cities[] = {
    {110, "北京"},
};

constexpr City kProvince13Cities[] = {
    {130, "天津"},
};

constexpr City kProvince17Cities[] = {
    {170, "济南"},
    {166, "青岛"},
    {150, "淄博"},
    {157, "枣庄"},
    {156, "东营"},
    {161, "烟台"},
    {155, "潍坊"},
    {158, "济宁"},
    {172, "泰安"},
    {152, "威海"},
    {154, "日照"},
    {160, "莱芜"},
    {153, "临沂"},
    {173, "德州"},
    {174, "聊城"},
    {151, "滨州"},
    {159, "菏泽"},
};

constexpr City kProvince18Cities[] = {
    {188, "石家庄"},
    {181, "唐山"},
    {182, "秦皇岛"},
    {186, "邯郸"},
    {185, "邢台"},
    {187, "保定"},
    {184, "张家口"},
    {189, "承德"},
    {183, "廊坊"},
    {180, "沧州"},
    {720, "衡水"},
};

constexpr City kProvince19Cities[] = {
    {190, "太原"},
    {193, "大同"},
    {192, "阳泉"},
    {195, "长治"},
    {194, "晋城"},
    {199, "朔州"},
    {198, "忻州"},
    {191, "晋中"},
    {200, "吕梁"},
    {197, "临汾"},
    {196, "运城"},
};

constexpr City kProvince30Cities[] = {
    {305, "合肥"},
    {302, "安庆"},
    {301, "蚌埠"},
    {318, "亳州"},
    {317, "池州"},
    {312, "滁州"},
    {306, "阜阳"},
    {314, "淮北"},
    {307, "淮南"},
    {316, "黄山"},
    {304, "六安"},
    {300, "马鞍山"},
    {313, "宿州"},
    {308, "铜陵"},
    {303, "芜湖"},
    {311, "宣城"},
};

constexpr City kProvince31Cities[] = {
    {310, "上海"},
};

constexpr City kProvince34Cities[] = {
    {340, "南京"},
    {450, "苏州"},
    {330, "无锡"},
    {440, "常州"},
    {430, "扬州"},
    {343, "镇江"},
    {358, "南通"},
    {350, "徐州"},
    {445, "泰州"},
    {348, "盐城"},
    {354, "淮安"},
    {346, "连云港"},
    {349, "宿迁"},
};

constexpr City kProvince36Cities[] = {
    {360, "杭州"},
    {370, "宁波"},
    {470, "温州"},
    {476, "台州"},
    {367, "金华"},
    {363, "嘉兴"},
    {365, "绍兴"},
    {362, "湖州"},
    {469, "丽水"},
    {468, "衢州"},
    {364, "舟山"},
};

constexpr City kProvince38Cities[] = {
    {380, "福州"},
    {390, "厦门"},
    {480, "泉州"},
    {395, "漳州"},
    {386, "宁德"},
    {385, "莆田"},
    {387, "南平"},
    {389, "三明"},
    {384, "龙岩"},
};

constexpr City kProvince50Cities[] = {
    {501, "海口"},
};

constexpr City kProvince51Cities[] = {
    {510, "广州"},
    {540, "深圳"},
    {580, "东莞"},
    {530, "佛山"},
    {558, "韶关"},
    {670, "河源"},
    {528, "梅州"},
    {570, "惠州"},
    {525, "汕尾"},
    {620, "珠海"},
    {556, "中山"},
    {550, "江门"},
    {560, "汕头"},
    {565, "阳江"},
    {520, "湛江"},
    {568, "茂名"},
    {536, "肇庆"},
    {535, "清远"},
    {531, "潮州"},
    {526, "揭阳"},
    {538, "云浮"},
};

// The block of province 59 lists the cities of 广西 (南宁, 柳州, 桂林 and the rest); its heading
// names that region, as every other heading names the region of its own cities.
constexpr City kProvince59Cities[] = {
    {591, "南宁"},
    {593, "柳州"},
    {592, "桂林"},
    {594, "梧州"},
    {595, "玉林"},
    {596, "百色"},
    {597, "钦州"},
    {598, "河池"},
    {599, "北海"},
    {590, "防城港"},
    {589, "贵港"},
    {588, "贺州"},
    {600, "崇左"},
    {601, "来宾"},
};

constexpr City kProvince70Cities[] = {
    {700, "西宁"},
    {701, "海东"},
    {702, "格尔木"},
    {704, "海西"},
    {706, "海北"},
    {705, "海南"},
    {707, "黄南"},
    {708, "果洛"},
    {709, "玉树"},
};

constexpr City kProvince71Cities[] = {
    {710, "武汉"},
    {711, "宜昌"},
    {712, "荆州"},
    {714, "黄冈"},
    {715, "黄石"},
    {716, "襄阳"},
    {717, "孝感"},
    {718, "鄂州"},
    {719, "咸宁"},
    {721, "十堰"},
    {723, "随州"},
    {724, "荆门"},
    {713, "仙桃"},
    {727, "恩施"},
};

constexpr City kProvince74Cities[] = {
    {741, "长沙"},
    {744, "衡阳"},
    {742, "株洲"},
    {743, "湘潭"},
    {745, "岳阳"},
    {792, "邵阳"},
    {748, "郴州"},
    {749, "常德"},
    {747, "益阳"},
    {795, "怀化"},
    {796, "永州"},
    {791, "娄底"},
    {793, "湘西"},
    {794, "张家界"},
};

constexpr City kProvince75Cities[] = {
    {750, "南昌"},
    {755, "九江"},
    {757, "上饶"},
    {759, "抚州"},
    {756, "宜春"},
    {751, "吉安"},
    {752, "赣州"},
    {740, "景德镇"},
    {758, "萍乡"},
    {753, "新余"},
    {754, "鹰潭"},
};

constexpr City kProvince76Cities[] = {
    {760, "郑州"},
    {761, "洛阳"},
    {762, "开封"},
    {763, "焦作"},
    {764, "新乡"},
    {765, "许昌"},
    {766, "漯河"},
    {767, "安阳"},
    {768, "商丘"},
    {769, "平顶山"},
    {770, "周口"},
    {771, "驻马店"},
    {772, "三门峡"},
    {773, "濮阳"},
    {774, "鹤壁"},
    {775, "济源"},
    {776, "信阳"},
    {777, "南阳"},
};

constexpr City kProvince79Cities[] = {
    {790, "拉萨"},
    {797, "日喀则"},
    {798, "山南"},
    {799, "林芝"},
    {800, "昌都"},
    {801, "那曲"},
    {802, "阿里"},
};

constexpr City kProvince81Cities[] = {
    {810, "成都"},
    {813, "攀枝花"},
    {815, "泸州"},
    {825, "德阳"},
    {824, "绵阳"},
    {826, "广元"},
    {821, "遂宁"},
    {816, "内江"},
    {814, "乐山"},
    {822, "南充"},
    {817, "宜宾"},
    {823, "广安"},
    {820, "达州"},
    {827, "巴中"},
    {811, "雅安"},
    {819, "眉山"},
    {830, "资阳"},
    {829, "阿坝"},
    {828, "甘孜"},
    {812, "凉山"},
    {818, "自贡"},
};

constexpr City kProvince83Cities[] = {
    {831, "重庆"},
};

constexpr City kProvince84Cities[] = {
    {841, "西安"},
    {844, "咸阳"},
    {843, "渭南"},
    {840, "宝鸡"},
    {849, "汉中"},
    {842, "延安"},
    {845, "榆林"},
    {846, "铜川"},
    {848, "安康"},
    {847, "商洛"},
};

constexpr City kProvince85Cities[] = {
    {850, "贵阳"},
    {787, "遵义"},
    {789, "安顺"},
    {788, "黔南"},
    {786, "黔东南"},
    {785, "铜仁"},
    {851, "毕节"},
    {853, "六盘水"},
    {852, "黔西南"},
};

constexpr City kProvince86Cities[] = {
    {860, "昆明"},
    {730, "德宏"},
    {731, "保山"},
    {732, "文山"},
    {733, "临沧"},
    {734, "怒江"},
    {735, "迪庆"},
    {736, "西双版纳"},
    {861, "红河"},
    {862, "大理"},
    {863, "丽江"},
    {864, "楚雄"},
    {865, "玉溪"},
    {866, "曲靖"},
    {867, "昭通"},
    {869, "普洱"},
};

constexpr City kProvince87Cities[] = {
    {870, "兰州"},
    {931, "酒泉"},
    {873, "庆阳"},
    {877, "天水"},
    {874, "武威"},
    {878, "临夏"},
    {879, "白银"},
    {871, "定西"},
    {872, "平凉"},
    {960, "陇南"},
    {875, "张掖"},
    {876, "嘉峪关"},
    {930, "金昌"},
    {961, "甘南"},
};

constexpr City kProvince88Cities[] = {
    {880, "银川"},
    {884, "石嘴山"},
    {883, "吴忠"},
    {885, "固原"},
    {886, "中卫"},
};

// As in every block with more than one city, the first entry is the region's capital, here the
// capital of 新疆, which also carries the block's lowest city ID.
constexpr City kProvince89Cities[] = {
    {890, "乌鲁木齐"},  // the capital, see above
    {891, "昌吉"},
    {893, "石河子"},
    {892, "奎屯"},
    {952, "塔城"},
    {899, "克拉玛依"},
    {898, "伊犁"},
    {951, "博乐"},
    {953, "阿勒泰"},
    {894, "吐鲁番"},
    {900, "哈密"},
    {895, "巴音郭楞"},
    {896, "阿克苏"},
    {897, "喀什"},
    {955, "和田"},
    {954, "克孜勒苏"},
};

constexpr City kProvince90Cities[] = {
    {901, "长春"},
    {902, "吉林"},
    {909, "延边"},
    {903, "四平"},
    {905, "通化"},
    {907, "白城"},
    {906, "辽源"},
    {904, "松原"},
    {908, "白山"},
};

constexpr City kProvince91Cities[] = {
    {910, "沈阳"},
    {940, "大连"},
    {912, "鞍山"},
    {913, "抚顺"},
    {914, "本溪"},
    {915, "丹东"},
    {916, "锦州"},
    {917, "营口"},
    {918, "阜新"},
    {919, "辽阳"},
    {911, "铁岭"},
    {920, "朝阳"},
    {921, "盘锦"},
    {922, "葫芦岛"},
};

constexpr City kProvince97Cities[] = {
    {971, "哈尔滨"},
    {973, "齐齐哈尔"},
    {988, "牡丹江"},
    {976, "佳木斯"},
    {989, "绥化"},
    {981, "大庆"},
    {991, "鸡西"},
    {990, "黑河"},
    {996, "伊春"},
    {994, "双鸭山"},
    {993, "鹤岗"},
    {992, "七台河"},
    {995, "大兴安岭"},
};

constexpr Province kProvinces[] = {
    {10, "内蒙古地区", "",         kProvince10Cities},
    {11, "北京地区",   "",         kProvince11Cities},
    {13, "天津地区",   "",         kProvince13Cities},
    {17, "山东地区",   "",         kProvince17Cities},
    {18, "河北地区",   "",         kProvince18Cities},
    {19, "山西地区",   "",         kProvince19Cities},
    {30, "安徽地区",   "71904257", kProvince30Cities},  // eight digits stand right after "】"
    {31, "上海地区",   "",         kProvince31Cities},
    {34, "江苏地区",   "",         kProvince34Cities},
    {36, "浙江地区",   "",         kProvince36Cities},
    {38, "福建地区",   "",         kProvince38Cities},
    {50, "海南地区",   "",         kProvince50Cities},
    {51, "广东地区",   "",         kProvince51Cities},
    {59, "广西地区",   "",         kProvince59Cities},  // the region of 南宁, 柳州, 桂林...
    {70, "青海地区",   "",         kProvince70Cities},
    {71, "湖北地区",   "",         kProvince71Cities},
    {74, "湖南地区",   "",         kProvince74Cities},
    {75, "江西地区",   "",         kProvince75Cities},
    {76, "河南地区",   "",         kProvince76Cities},
    {79, "西藏地区",   "",         kProvince79Cities},
    {81, "四川地区",   "",         kProvince81Cities},
    {83, "重庆地区",   "",         kProvince83Cities},
    {84, "陕西地区",   "",         kProvince84Cities},
    {85, "贵州地区",   "",         kProvince85Cities},
    {86, "云南地区",   "",         kProvince86Cities},
    {87, "甘肃地区",   "",         kProvince87Cities},
    {88, "宁夏地区",   "",         kProvince88Cities},
    {89, "新疆地区",   "",         kProvince89Cities},
    {90, "吉林地区",   "",         kProvince90Cities},
    {91, "辽宁地区",   "",         kProvince91Cities},
    {97, "黑龙江地区", "",         kProvince97Cities},
};
// clang-format on

}  // namespace

std::span<const Province> provinces() {
    return kProvinces;
}

const Province* find_province(int id) {
    const auto* found = std::find_if(std::begin(kProvinces), std::end(kProvinces),
                                     [id](const Province& province) { return province.id == id; });
    return found == std::end(kProvinces) ? nullptr : found;
}

const City* find_city(int id, const Province** province) {
    for (const Province& candidate : kProvinces) {
        for (const City& city : candidate.cities) {
            if (city.id == id) {
                if (province != nullptr) {
                    *province = &candidate;
                }
                return &city;
            }
        }
    }
    if (province != nullptr) {
        *province = nullptr;
    }
    return nullptr;
}

}  // namespace quavik
