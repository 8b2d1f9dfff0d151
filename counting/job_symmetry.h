// The symmetries of a job as the search uses them: the elements of the
// group of permutations that map the job's closure rules onto themselves
// (automorphisms.h), listed one by one, as many as kMostListed.
//
// A permutation g of the group maps closed sets onto closed sets, so the
// number of ways to complete a closed set inside a component is the same
// for a component and its image under g, what each element needs and may
// not come in with mapped too (search_symmetry.h). Any element of the
// group will do for that, so a list that holds only part of a large group
// is still exact; it finds fewer images equal.
//
// The storage (the search's working tables, a few megabytes, and the list)
// is allocated when a job first asks for its symmetries: a run that never
// makes a long search never pays for it.
#ifndef TALLYRA_COUNTING_JOB_SYMMETRY_H_
#define TALLYRA_COUNTING_JOB_SYMMETRY_H_

#include <cstdint>
#include <memory>

#include "counting/automorphisms.h"
#include "run/job_model.h"

namespace tallyra {

class JobSymmetry {
 public:
  // The most group elements listed, the identity among them: the 10,080
  // symmetries of the 7-cube's lattice (the permutations of seven points,
  // each with and without taking complements).
  static constexpr int kMostListed = 10080;

  JobSymmetry();
  ~JobSymmetry();
  JobSymmetry(const JobSymmetry&) = delete;
  JobSymmetry& operator=(const JobSymmetry&) = delete;

  // Finds the group of the job of `size` elements given by
  // constraints[0..count-1], spending at most about `budget` units of work
  // (automorphisms.h), and lists its elements. The number listed (1: only
  // the identity).
  int start(int size, const Constraint* constraints, int count, int64_t budget);

  // What the latest start() found.
  int listed() const { return listed_; }
  // Whether the list holds the whole group (the search finished and the
  // group is no larger than the list).
  bool whole() const { return group_->complete && listed_ >= group_->order - 0.5; }
  const AutomorphismGroup& group() const { return *group_; }
  // The image and the preimage of each element under group element g
  // (0 <= g < listed()). The list is in the order of the preimages of
  // 0, 1, 2, ... (the identity first), so that the elements whose preimages
  // of 0..p agree stand together: the next element after g whose preimages
  // of 0..p differ from g's is nextDiffering(g, p).
  const uint8_t* image(int g) const { return &images_[static_cast<size_t>(g) * kMaxElements]; }
  const uint8_t* preimage(int g) const {
    return &preimages_[static_cast<size_t>(g) * kMaxElements];
  }
  // How many of the preimages of 0, 1, 2, ... g shares with the element
  // listed before it (0 < g < listed()).
  int sharedWithPrevious(int g) const { return shared_[g]; }
  int nextDiffering(int g, int p) const {
    return p < kIndexedPrefix ? next_[static_cast<size_t>(g) * kIndexedPrefix + p] : g + 1;
  }

 private:
  // The prefixes of preimages that nextDiffering() knows, beyond which it
  // answers g + 1.
  static constexpr int kIndexedPrefix = 16;

  int list();
  void sortAndIndex();

  int size_ = 0;
  int listed_ = 0;
  std::unique_ptr<AutomorphismSearch> search_;
  std::unique_ptr<AutomorphismGroup> group_;
  std::unique_ptr<uint8_t[]> images_;
  std::unique_ptr<uint8_t[]> preimages_;
  // An open-addressing table of the listed elements by a hash of their
  // images: the index plus one, 0 for none.
  static constexpr int kTableSlots = 32768;
  std::unique_ptr<uint16_t[]> table_;
  std::unique_ptr<uint8_t[]> shared_;  // by element
  std::unique_ptr<uint16_t[]> next_;   // by element and prefix
};

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_JOB_SYMMETRY_H_
