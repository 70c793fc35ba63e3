#pragma once
// The weights of the evidence, in bits (log2 of m/u), for Judge and for the
// bound of the blocking (link_index.h) alike; docs/linkage.md says where
// each comes from.

namespace linkage {

// The prior odds: about one record in five has its person elsewhere on the disk.
inline constexpr double kPrior = -2.32;
// An equal surname is right in 90 of 100 true pairs; it is shared by count people.
inline constexpr double kSurnameRight = -0.15;
inline constexpr double kSurnameClose = -4.0;  // a spelling one letter off
inline constexpr double kSurnameSound = -7.0;  // the same sound code, spelt further apart
// A database seldom lists one person twice: the prior odds of a pair within
// one database are a tenth of those of a pair across two.
inline constexpr double kSameDatabase = -3.3;
// Given names: an equal first name weighs by how rare it is, within these bounds.
inline constexpr double kGivenEqualMin = 2.0;
inline constexpr double kGivenEqualMax = 8.0;
inline constexpr double kGivenVariant = 3.0;
inline constexpr double kGivenInitial = 1.5;
inline constexpr double kGivenClose = 2.0;
inline constexpr double kGivenConflict = -6.0;
inline constexpr double kMiddleEqual = 4.0;
inline constexpr double kMiddleInitial = 3.0;
inline constexpr double kMiddleConflict = -3.0;
inline constexpr double kGenerationConflict = -8.0;
// Years: a birth or death year equal, one or two off, three to five off.
inline constexpr double kYearEqual = 5.0;
// A year is written alike in nine of ten records of one person: at most
// log2(0.9 / u) for a year that people of the two databases share with chance u.
inline constexpr double kYearRight = 0.9;
inline constexpr double kYearNear = 3.5;  // a year reckoned from an age, agreeing
inline constexpr double kYearOne = 3.0;
inline constexpr double kYearTwo = 1.5;
inline constexpr double kYearFar = -3.0;
inline constexpr double kSameEra = 2.0;
inline constexpr double kStateAgree = 3.5;
inline constexpr double kStateDiffer = -1.5;
inline constexpr double kTownAgree = 2.0;
inline constexpr double kUnitAgree = 4.0;
inline constexpr double kRankAgree = 1.0;
inline constexpr double kBranchAgree = 1.0;
inline constexpr double kBranchDiffer = -2.5;

}  // namespace linkage
