// The two forms of the search's instructions.
//
// The program is built for the first 64-bit x86 processors, which have no
// instructions to count the bits of a word (a library routine counts), to
// find its lowest bit without a test for zero, or to clear that bit in one
// step. So the search is compiled twice: as it stands (the plain form), and
// for processors with POPCNT and BMI1 (the fast form), where the compiler
// uses those instructions for the same code. A count picks its form once,
// at the top, and runs that form's copy to the end: the form is a template
// parameter (`kFast`) of every function of the search's hot paths, which
// are inlined into a few entry points compiled for the form by
// CompiledAs<kFast>. (Multi-versioning by the compiler would need the
// loader's indirect functions, which the Windows build lacks.)
#ifndef TALLYRA_COUNTING_INSTRUCTION_FORM_H_
#define TALLYRA_COUNTING_INSTRUCTION_FORM_H_

#if defined(__GNUC__) && defined(__x86_64__)
#define TALLYRA_FAST_INSTRUCTIONS 1
#define TALLYRA_FAST [[gnu::target("popcnt,bmi")]]
#else
#define TALLYRA_FAST_INSTRUCTIONS 0
#define TALLYRA_FAST
#endif

// The hot paths' functions are always inlined, so that each form's entry
// point has them in its own instructions.
#if defined(__GNUC__)
#define TALLYRA_INLINE [[gnu::always_inline]] inline
#define TALLYRA_INLINE_LAMBDA __attribute__((always_inline))
#define TALLYRA_ENTRY [[gnu::noinline]]
#else
#define TALLYRA_INLINE inline
#define TALLYRA_INLINE_LAMBDA
#define TALLYRA_ENTRY
#endif

namespace tallyra {

// Whether this processor runs the fast form (asked once, when the program
// starts).
bool processorRunsFastForm();

// CompiledAs<kFast>::call(f) calls f(), a lambda marked
// TALLYRA_INLINE_LAMBDA, from a function of its own compiled for the form,
// so that f's code (and what it inlines) uses the form's instructions.
template <bool kFast>
struct CompiledAs;

template <>
struct CompiledAs<false> {
  template <typename F>
  TALLYRA_ENTRY static auto call(F f) {
    return f();
  }
};

#if TALLYRA_FAST_INSTRUCTIONS
template <>
struct CompiledAs<true> {
  template <typename F>
  TALLYRA_ENTRY TALLYRA_FAST static auto call(F f) {
    return f();
  }
};
#else
template <>
struct CompiledAs<true> : CompiledAs<false> {};
#endif

}  // namespace tallyra

#endif  // TALLYRA_COUNTING_INSTRUCTION_FORM_H_
