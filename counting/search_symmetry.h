// Residual keys under the job's symmetries. A piece of the search
// (subuniverse_search.cc), included by it and by its test alone.
//
// A permutation g of the job's group (job_symmetry.h) maps the rules onto
// themselves, so a component C with what each of its elements needs in it
// and may not come in with has as many completions as g(C) with the needs
// and exclusions mapped by g: the pairs of g(C) have g's images of the
// results that the pairs of C have. So the search may key a component by
// any image of its residual key (search_keys.h) under the group, compared
// in full like any residual key, and a component and its images, met in
// different branches, share one entry when they pick the same image.
//
// The image picked: of the group elements listed, the first that maps C to
// its least image (sets compared element by element from element 0, a set
// that holds the element first). Every choice is an image, so every choice
// is exact; the more often images of one component pick the same, the more
// the cache finds. (Of the elements that give the least image, picking the
// one whose image of the whole key has the least hash, of up to 16, found
// no more on the cubes and cost half as much again.)
#ifndef TALLYRA_COUNTING_SEARCH_SYMMETRY_H_
#define TALLYRA_COUNTING_SEARCH_SYMMETRY_H_

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "counting/element_set.h"
#include "counting/instruction_form.h"
#include "counting/job_symmetry.h"
#include "counting/residual_cache.h"
#include "counting/search_keys.h"

namespace tallyra {

// The search's room for making an image of a key, and what it found for
// the components it met lately: the least image of a component and the
// group element that gives it depend on the component alone, and the same
// component comes back with other needs many times.
template <int Words>
struct SymmetricKeyScratch {
  using Set = ElementSetOf<Words>;
  Set needs[kSetCapacity<Set>];  // by element of the image
  Set notBothWith[kSetCapacity<Set>];
  Set excludes[kSetCapacity<Set>];  // for makeResidualKey
  struct Image {
    Set component;
    Set least;
    int element;          // the first group element that gives it
    uint32_t generation;  // 0: never used
  };
  static constexpr int kImageBits = 12;
  Image images[1 << kImageBits];
  // The entries of images[] for the current job's group have this
  // generation; start() makes a new one.
  uint32_t generation = 0;
  void start() {
    if (++generation == 0) {  // wrapped: old generation numbers come back
      for (Image& image : images) image.generation = 0;
      generation = 1;
    }
  }
};

// The image of `set` under the permutation `image`, word by word.
template <int Words>
TALLYRA_INLINE ElementSetOf<Words> mappedSet(const ElementSetOf<Words>& set, const uint8_t* image) {
  if constexpr (Words == 1) {
    uint64_t mapped = 0;
    for (uint64_t rest = set; rest != 0; rest &= rest - 1)
      mapped |= uint64_t{1} << image[std::countr_zero(rest)];
    return mapped;
  } else {
    WideSet<Words> mapped{};
    for (int i = 0; i < Words; ++i) {
      const uint8_t* from = &image[64 * static_cast<size_t>(i)];
      for (uint64_t rest = set.word[i]; rest != 0; rest &= rest - 1) {
        const int to = from[std::countr_zero(rest)];
        mapped.word[to >> 6] |= uint64_t{1} << (to & 63);
      }
    }
    return mapped;
  }
}

// The least image of `component` under the listed group elements into
// image.least, and the first element that gives it into image.element. An
// element's image is compared with the least element by element, through
// its preimages, until they differ; the list's order lets the compare start
// where an element's preimages part from those of the element before it,
// and skip the elements that would differ from the least where it did.
template <int Words, typename Image>
void leastImage(const ElementSetOf<Words>& component, const JobSymmetry& symmetry, int size,
                Image& image) {
  // Whether the component holds each element, a byte each.
  uint8_t holds[kSetCapacity<ElementSetOf<Words>>] = {};
  forEach(component, [&](int x) { holds[x] = 1; });
  // The least so far is the image under `picked`: it holds p when the
  // component holds least[p], the preimage of p.
  const uint8_t* least = symmetry.preimage(0);
  int picked = 0;  // the identity
  // The elements listed before g agree with the least on 0..agreed-1.
  int agreed = size;
  for (int g = 1; g < symmetry.listed();) {
    // The order of g's image against the least (-1 before, 1 after) and
    // the first element where they differ.
    int order = 0;
    int p = std::min(agreed, symmetry.sharedWithPrevious(g));
    const uint8_t* preimage = symmetry.preimage(g);
    for (; p < size; ++p) {
      const int mine = holds[preimage[p]];
      if (mine != holds[least[p]]) {
        order = mine != 0 ? -1 : 1;
        break;
      }
    }
    // The elements that agree with g on the preimages of 0..p give images
    // that fall behind too (the least only gets less).
    if (order > 0) {
      agreed = p;
      g = symmetry.nextDiffering(g, p);
      continue;
    }
    if (order < 0) {
      least = preimage;
      picked = g;
    }
    agreed = size;
    ++g;
  }
  image.least = picked == 0 ? component : mappedSet<Words>(component, symmetry.image(picked));
  image.element = picked;
}

// Makes in `key` the residual key of `component` (with the part's
// `implied` and `notBothWith`, on a job of `size` elements) mapped by the
// group element picked as above, its sets written into `cache`'s arena;
// that element (0: the identity).
template <int Words>
int makeSymmetricKey(const ElementSetOf<Words>& component, const ElementSetOf<Words>* implied,
                     const ElementSetOf<Words>* notBothWith, const JobSymmetry& symmetry, int size,
                     ResidualCache<Words>& cache, SymmetricKeyScratch<Words>& scratch,
                     typename ResidualCache<Words>::Key& key) {
  using Set = ElementSetOf<Words>;
  // The least image of the component, and the element that gives it.
  auto& found = scratch.images[(mixedWord(component) * 0x9E3779B97F4A7C15u) >>
                               (64 - SymmetricKeyScratch<Words>::kImageBits)];
  if (found.generation != scratch.generation || !(found.component == component)) {
    leastImage<Words>(component, symmetry, size, found);
    found.generation = scratch.generation;
    found.component = component;
  }
  if (found.element == 0) {  // the identity: the component's own key
    makeResidualKey<Words>(component, implied, notBothWith, cache, scratch.excludes, key);
    return 0;
  }
  // The key mapped by that element.
  const uint8_t* image = symmetry.image(found.element);
  for (Set rest = component; !isEmpty(rest); rest = withoutLowest(rest)) {
    const int x = lowest(rest);
    scratch.needs[image[x]] = mappedSet<Words>(implied[x] & component, image);
    scratch.notBothWith[image[x]] = mappedSet<Words>(notBothWith[x], image);
  }
  makeResidualKey<Words>(found.least, scratch.needs, scratch.notBothWith, cache, scratch.excludes,
                         key);
  return found.element;
}

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_SEARCH_SYMMETRY_H_
