#pragma once
// What a headline says about the measures behind a verdict. An analysis words its headline
// around one measure (a circularity around its average error); when the verdict comes from
// another measure instead (the directions short of the edge), the headline names that one too,
// so a Fail never reads as a passing number alone. The listing text and the plot captions,
// which word a result from its measures, add the same names, and say when a run ended early.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/TestResult.h"

namespace RorozErurEvo::VerdictReasons {

using Named = std::initializer_list<std::string_view>;

// How a headline names a measure of a result of `kind`: "31.9% of directions short of the
// edge", "slowest return 310 ms"; a measure this table does not know reads as its label and value,
// one without a label as its value.
std::string phrase(TestKind kind, const Measure& measure);

// The phrases of the measures that decide the verdict of `measures` (the worst judgement of
// those with a limit) when none of the `named` ones does: every other measure judged at that
// verdict, in order. Nothing for a passing verdict.
std::vector<std::string> unnamed(TestKind kind, const std::vector<Measure>& measures, Named named);

// `base` followed by ", " and each phrase of `unnamed`: "5.8% circularity, 31.9% of directions
// short of the edge".
std::string headline(std::string base, TestKind kind, const std::vector<Measure>& measures, Named named);

// `words` that describe a result by its `named` measures, with what they leave out in
// parentheses: the measures that decide its verdict (of a result that does not pass), and
// "ended early" for a run ended short of its rule, unless `words` says so already.
// "5.8% circularity (31.9% of directions short of the edge)", "drift 7.9% (ended early)".
std::string qualified(std::string words, const TestResult& result, Named named);
// The same for `words` that name every measure that decides the verdict (a headline does): only
// the early end is added.
std::string qualified(std::string words, const TestResult& result);

} // namespace RorozErurEvo::VerdictReasons
