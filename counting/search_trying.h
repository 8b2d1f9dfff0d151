// Counting a small part by trying its subsets, all at once. A piece of the
// search (subuniverse_search.cc), included by it alone.
//
// The number of ways to complete I inside a small part is found by trying
// each of its subsets T at once: bit t of a word stands for the subset t of
// the members (bit i of t: members[i]; a part of more than six takes
// several words), and each rule that the members take part in marks the
// subsets that break it. I and T together are closed when every element of
// T has what it implies (given I) in I or T, and every pair in T its
// results. A search node and a cache entry cost more than that.
#ifndef TALLYRA_COUNTING_SEARCH_TRYING_H_
#define TALLYRA_COUNTING_SEARCH_TRYING_H_

#include <cstdint>

#include "counting/closure_rules.h"
#include "counting/element_set.h"
#include "counting/engine_settings.h"
#include "counting/instruction_form.h"

namespace tallyra {

// A part being tried: its members in order, and where each stands.
template <int Words>
struct TriedPart {
  using Set = ElementSetOf<Words>;
  Set part;
  Set open;  // the elements not in I
  const Set* implied;
  int members[kMaxTriedElements];
  int slot[kSetCapacity<Set>];  // slot[members[i]] = i
  int k;
};

// Subsets of up to six members as the bits of a word: bit t stands for the
// subset t (bit i of t: members[i]); kHolding[i] holds the subsets that
// hold members[i].
constexpr uint64_t kHolding[kWordTriedElements] = {0xAAAAAAAAAAAAAAAAu, 0xCCCCCCCCCCCCCCCCu,
                                                   0xF0F0F0F0F0F0F0F0u, 0xFF00FF00FF00FF00u,
                                                   0xFFFF0000FFFF0000u, 0xFFFFFFFF00000000u};
constexpr int kTriedWords = 1 << (kMaxTriedElements - kWordTriedElements);

// The closed completions of a part of at most six members.
template <int Words>
TALLYRA_INLINE uint64_t countWordByTrying(const ClosureRules<Words>& rules,
                                          const TriedPart<Words>& t) {
  using Set = ElementSetOf<Words>;
  // Subsets that lack one of `needed` (outside I): those without a member
  // of it, and all of them when it reaches outside the part.
  auto lacking = [&](const Set& needed) TALLYRA_INLINE_LAMBDA {
    if (!isEmpty(needed & ~t.part)) return ~uint64_t{0};
    uint64_t lack = 0;
    for (Set zs = needed; !isEmpty(zs); zs = withoutLowest(zs))
      lack |= ~kHolding[t.slot[lowest(zs)]];
    return lack;
  };
  uint64_t broken = 0;
  for (int i = 0; i < t.k; ++i) {
    const int x = t.members[i];
    broken |= kHolding[i] & lacking(t.implied[x] & t.open);
    // (forced[x][y] for a y that is no partner of x holds stale bits of
    // earlier jobs.)
    for (Set ys = rules.partners[x] & t.part & above<Set>(x); !isEmpty(ys);
         ys = withoutLowest(ys)) {
      const int y = lowest(ys);
      broken |= kHolding[i] & kHolding[t.slot[y]] & lacking(rules.forced[x][y] & t.open);
    }
  }
  const uint64_t subsets =
      t.k == kWordTriedElements ? ~uint64_t{0} : (uint64_t{1} << (1 << t.k)) - 1;
  return static_cast<uint64_t>(elementCount(subsets & ~broken));
}

// The same for a part of more than six members (at most kMaxTriedElements):
// its subsets take 2^(k - 6) words, the first six members picking the bit
// and the others the word (bit j of the word's number: members[6 + j]). A
// rule marks the subsets that hold its one or two members and lack one of
// what it needs; the words above the rule's members in the word's number
// share one mark, spread over them at the end.
template <int Words>
TALLYRA_INLINE uint64_t countWideByTrying(const ClosureRules<Words>& rules,
                                          const TriedPart<Words>& t) {
  using Set = ElementSetOf<Words>;
  const int k = t.k;
  uint64_t holdLow[kMaxTriedElements];
  unsigned holdHigh[kMaxTriedElements];
  for (int i = 0; i < k; ++i) {
    holdLow[i] = i < kWordTriedElements ? kHolding[i] : ~uint64_t{0};
    holdHigh[i] = i < kWordTriedElements ? 0u : 1u << (i - kWordTriedElements);
  }
  // (k is above kWordTriedElements here; the bound only says so.)
  const int highMembers = k > kWordTriedElements ? k - kWordTriedElements : 0;
  const unsigned words = 1u << highMembers;
  // The subsets of word w that break a rule: broken[w], and brokenAbove[s]
  // of every s within w (those of the rules whose members in the word's
  // number are s and whose needs lie in the first six members or outside
  // the part).
  uint64_t brokenAbove[kTriedWords];
  uint64_t broken[kTriedWords];
  for (unsigned w = 0; w < words; ++w) brokenAbove[w] = broken[w] = 0;
  auto breakRule = [&](int a, int b, const Set& needed) TALLYRA_INLINE_LAMBDA {
    const uint64_t inLow = holdLow[a] & holdLow[b];
    const unsigned inHigh = holdHigh[a] | holdHigh[b];
    uint64_t lackLow = 0;
    unsigned needHigh = 0;
    if (!isEmpty(needed & ~t.part)) {
      lackLow = ~uint64_t{0};
    } else {
      for (Set zs = needed; !isEmpty(zs); zs = withoutLowest(zs)) {
        const int m = t.slot[lowest(zs)];
        lackLow |= ~holdLow[m];
        needHigh |= holdHigh[m];
      }
    }
    brokenAbove[inHigh] |= inLow & lackLow;
    if (needHigh == 0) return;
    // The words above inHigh that lack one of the needs in the number.
    for (unsigned w = inHigh; w < words; w = (w + 1) | inHigh)
      broken[w] |= (w & needHigh) != needHigh ? inLow : 0;
  };
  for (int i = 0; i < k; ++i) {
    const int x = t.members[i];
    breakRule(i, i, t.implied[x] & t.open);
    // (forced[x][y] for a y that is no partner of x holds stale bits of
    // earlier jobs.)
    for (Set ys = rules.partners[x] & t.part & above<Set>(x); !isEmpty(ys);
         ys = withoutLowest(ys)) {
      const int y = lowest(ys);
      breakRule(i, t.slot[y], rules.forced[x][y] & t.open);
    }
  }
  for (unsigned b = 1; b < words; b <<= 1)
    for (unsigned w = b; w < words; w = (w + 1) | b) brokenAbove[w] |= brokenAbove[w ^ b];
  uint64_t closed = 0;
  for (unsigned w = 0; w < words; ++w) closed += elementCount(~(broken[w] | brokenAbove[w]));
  return closed;
}

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SEARCH_TRYING_H_
