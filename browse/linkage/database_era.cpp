#include "browse/linkage/database_era.h"

#include "store/catalogue.h"

namespace linkage {
namespace {

// Ages of service: a drummer boy of ten to a general of eighty. The years are
// those of the wars; a will of the 1873 calendar may be of anyone who died
// before the year was out.
constexpr DatabaseEra kEras[catalogue::kLastCode + 1] = {
    {},
    // 1 congen, 2 civmoh, 3 titan, 4 unigen
    {"the Civil War", 1861, 1865, true, 18, 85, false, false, Side::Confederate},
    {"the Civil War", 1861, 1865, true, 10, 80, false, false, Side::Union},
    {"the Titanic", 1912, 1912, true, 0, 100, false, false, Side::None},
    {"the Civil War", 1861, 1865, true, 18, 85, false, false, Side::Union},
    // 5 vnmmoh, 6 ww1moh, 7 ww2moh
    {"the Vietnam War", 1963, 1973, true, 16, 60, false, false, Side::None},
    {"the First World War", 1917, 1918, true, 16, 60, false, false, Side::None},
    {"the Second World War", 1941, 1945, true, 16, 60, false, false, Side::None},
    // 8 w1812, 9 honorol (the Union dead), 10 ww2_pow
    {"the War of 1812", 1812, 1815, true, 10, 80, false, false, Side::None},
    {"the Civil War", 1861, 1866, true, 10, 80, false, true, Side::Union},
    {"the Second World War", 1941, 1945, true, 16, 60, false, false, Side::None},
    // 11 ww2_kor: graves of men who served in the Second World War or Korea
    {"the Second World War or Korea", 1941, 1953, true, 16, 60, false, false, Side::None},
    // 12 v_mem: the dead of the Vietnam War
    {"the Vietnam War", 1956, 1975, true, 16, 60, false, true, Side::None},
    // 13 pcc: wills proved in 1873
    {nullptr, 1873, 1873, false, 0, 0, true, false, Side::None},
    // 14 rev
    {"the Revolutionary War", 1775, 1783, true, 10, 80, false, false, Side::None},
};

}  // namespace

const DatabaseEra& EraOf(int code) {
    static const DatabaseEra kNone{};
    return code >= catalogue::kFirstCode && code <= catalogue::kLastCode ? kEras[code] : kNone;
}

}  // namespace linkage
