// Fixed-capacity byte strings.
//
// A FixedText holds at most Capacity bytes with an explicit length; it never
// allocates. Whatever is assigned or appended beyond the capacity is cut off.
// Comparisons and searches are byte-wise and case-sensitive. Positions are
// 1-based, as the job file's users count them; a search answers 0 when the
// text does not occur.
#ifndef TALLYRA_RUN_TEXT_LINE_H_
#define TALLYRA_RUN_TEXT_LINE_H_

#include <cstddef>
#include <cstring>
#include <string_view>

namespace tallyra {

template <int Capacity>
class FixedText {
 public:
  static constexpr int kCapacity = Capacity;

  FixedText() = default;
  explicit FixedText(std::string_view text) { assign(text); }
  // Copies only the text: a line is copied at every step of reading.
  FixedText(const FixedText& other) : length_(other.length_) {
    std::memcpy(data_, other.data_, static_cast<size_t>(length_));
  }
  FixedText& operator=(const FixedText& other) {
    if (this != &other) {
      length_ = other.length_;
      std::memcpy(data_, other.data_, static_cast<size_t>(length_));
    }
    return *this;
  }

  int length() const { return length_; }
  bool empty() const { return length_ == 0; }
  const char* data() const { return data_; }
  char* mutableData() { return data_; }
  std::string_view view() const { return std::string_view(data_, length_); }

  // The character at 1-based position `pos` (1..length()).
  char at(int pos) const { return data_[pos - 1]; }
  void setAt(int pos, char c) { data_[pos - 1] = c; }

  void clear() { length_ = 0; }
  void assign(std::string_view text) {
    length_ = 0;
    append(text);
  }
  void append(std::string_view text) {
    size_t room = static_cast<size_t>(Capacity - length_);
    size_t n = text.size() < room ? text.size() : room;
    if (n > 0) std::memcpy(data_ + length_, text.data(), n);
    length_ += static_cast<int>(n);
  }
  void append(char c) {
    if (length_ < Capacity) data_[length_++] = c;
  }

  // 1-based position of the first occurrence of `c`, or 0.
  int position(char c) const {
    const void* at =
        std::memchr(data_, static_cast<unsigned char>(c), static_cast<size_t>(length_));
    return at == nullptr ? 0 : static_cast<int>(static_cast<const char*>(at) - data_) + 1;
  }
  // 1-based position of the first occurrence of `needle`, or 0.
  // An empty needle is found at position 1.
  int find(std::string_view needle) const {
    size_t pos = view().find(needle);
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
  }
  bool contains(std::string_view needle) const { return find(needle) != 0; }

  // Deletes `count` characters from 1-based position `pos` on (fewer when the
  // text ends first).
  void erase(int pos, int count) {
    if (pos < 1 || pos > length_ || count <= 0) return;
    int from = pos - 1;
    if (count > length_ - from) count = length_ - from;
    std::memmove(data_ + from, data_ + from + count, static_cast<size_t>(length_ - from - count));
    length_ -= count;
  }
  // Keeps the first `n` characters.
  void truncate(int n) {
    if (n >= 0 && n < length_) length_ = n;
  }
  // Puts `count` copies of `c` in front; what no longer fits at the end is cut.
  void prepend(int count, char c) {
    if (count <= 0) return;
    if (count > Capacity) count = Capacity;
    int keep = length_ < Capacity - count ? length_ : Capacity - count;
    std::memmove(data_ + count, data_, static_cast<size_t>(keep));
    std::memset(data_, c, static_cast<size_t>(count));
    length_ = count + keep;
  }

  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

 private:
  // Only the first length_ bytes hold anything; the rest are never read,
  // nor set when a line is made.
  char data_[Capacity];
  int length_ = 0;
};

// The program's text line: a byte string of at most 255 characters.
using TextLine = FixedText<255>;

}  // namespace tallyra

#endif  // TALLYRA_RUN_TEXT_LINE_H_
