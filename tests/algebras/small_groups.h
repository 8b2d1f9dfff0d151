// Groups of order 65 to 200 from GAP's library of small groups, kept as
// presentations (small_groups_data.cc, written by export_small_groups.g),
// with their numbers of subgroups as GAP counts them. The operation table
// of each is built here from its presentation.
#ifndef TALLYRA_TESTS_ALGEBRAS_SMALL_GROUPS_H_
#define TALLYRA_TESTS_ALGEBRAS_SMALL_GROUPS_H_

#include "tests/algebras/sample_algebras.h"

namespace tallyra {

// SmallGroup(order, id) of GAP's library.
struct SmallGroupData {
  int order;
  int id;
  // Sum(List(ConjugacyClassesSubgroups(G), Size)) in GAP.
  int subgroups;
  // false: the pc presentation of a solvable group, "p_1 .. p_k; powers;
  // commutators": the prime relative orders of its pcgs g_1..g_k, the
  // numbers of g_i^p_i for i = 1..k and of Comm(g_j, g_i) =
  // g_j^-1 g_i^-1 g_j g_i for i < j, in the order (1,2), (1,3), ..,
  // (1,k), (2,3), .., (k-1,k), where g_1^e_1 .. g_k^e_k is numbered
  // e_1 p_2 .. p_k + e_2 p_3 .. p_k + .. + e_k.
  // true: "degree: generators", the generators separated by ";", each the
  // images of the points 0..degree-1.
  bool permutations;
  const char* presentation;
};

extern const SmallGroupData kSmallGroups[];
extern const int kSmallGroupCount;

// The group's operation table; false when the presentation cannot be
// read or does not describe a group of its order.
bool makeSmallGroupTable(const SmallGroupData& group, OperationTable& out);

}  // namespace tallyra

#endif  // TALLYRA_TESTS_ALGEBRAS_SMALL_GROUPS_H_
