#include "store/mail_sort.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/sjis_char.h"
#include "platform/job_progress.h"

namespace lp {
namespace {

template <typename T>
int ThreeWay(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// One comparison unit at `i`: an ASCII letter upper-cased, any other single
// byte as it is, a double-byte character as lead * 256 + trail. A lead byte
// without a valid trail byte stands alone.
std::uint16_t UnitAt(std::string_view s, std::size_t& i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (IsSjisLeadByte(c) && i + 1 < s.size() && IsSjisTrailByte(static_cast<unsigned char>(s[i + 1]))) {
    const auto trail = static_cast<unsigned char>(s[i + 1]);
    i += 2;
    return static_cast<std::uint16_t>(c << 8 | trail);
  }
  ++i;
  return (c >= 'a' && c <= 'z') ? static_cast<std::uint16_t>(c - 'a' + 'A') : c;
}

// The units of `s` as big-endian byte pairs in one pass, as
// SortBytes(SortUnits(s)) gives them.
std::string SortBytesOf(std::string_view s) {
  std::string bytes(s.size() * 2, '\0');
  std::size_t out = 0;
  for (std::size_t i = 0; i < s.size();) {
    const std::uint16_t unit = UnitAt(s, i);
    bytes[out++] = static_cast<char>(unit >> 8);
    bytes[out++] = static_cast<char>(unit & 0xFF);
  }
  bytes.resize(out);
  return bytes;
}

// A text key with its first eight bytes as a number: most comparisons are
// decided by the numbers without touching the texts. Zero bytes pad a short
// text, which keeps the numbers' order that of the texts wherever they differ.
struct TextKey {
  std::uint64_t head = 0;
  std::string bytes;
};

TextKey MakeTextKey(std::string_view s) {
  TextKey key{0, SortBytesOf(s)};
  for (std::size_t i = 0; i < 8; ++i) {
    key.head <<= 8;
    if (i < key.bytes.size()) key.head |= static_cast<unsigned char>(key.bytes[i]);
  }
  return key;
}

int CompareTextKeys(const TextKey& a, const TextKey& b) {
  if (a.head != b.head) return a.head < b.head ? -1 : 1;
  return a.bytes.compare(b.bytes);
}

std::u16string SortUnits(std::string_view s) {
  std::u16string units;
  units.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) units.push_back(static_cast<char16_t>(UnitAt(s, i)));
  return units;
}

// Units as big-endian byte pairs: std::string compares them in unit order,
// with memcmp.
std::string SortBytes(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit >> 8));
    bytes.push_back(static_cast<char>(unit & 0xFF));
  }
  return bytes;
}

// The two texts key 6 compares, in comparison units. A subject that begins
// with "RE" (any case) and holds a ":" is compared by what follows its last
// ":"; the second text is the first p units of that rest, p being the
// number of characters before that ":". Any other subject is compared whole
// with an empty second text. The comparison ignores ASCII case anyway, so
// working on units is the same as upper-casing first.
struct ThreadKey {
  std::string subject;  // SortBytes
  std::string prefix;
};

ThreadKey MakeThreadKey(std::string_view subject) {
  std::u16string units = SortUnits(subject);
  ThreadKey key;
  const bool reply = units.size() >= 2 && units[0] == u'R' && units[1] == u'E';
  const std::size_t colon = reply ? units.rfind(u':') : std::u16string::npos;
  if (colon == std::u16string::npos) {
    key.subject = SortBytes(units);
    return key;
  }
  const std::u16string_view rest = std::u16string_view(units).substr(colon + 1);
  key.subject = SortBytes(rest);
  key.prefix = SortBytes(rest.substr(0, std::min(colon, rest.size())));
  return key;
}

// The heap sort as it always ran: a 1-based heap, the build phase sifting
// down from n/2 to 1, then the largest swapped to the end and the rest
// sifted again. Ties decide nothing (strict comparisons), which fixes the
// order users see among equal mails.
template <typename T, typename Compare>
void HeapSort(std::vector<T>& a, Compare compare) {
  const std::size_t n = a.size();
  auto sift_down = [&](std::size_t i, std::size_t last) {
    while (2 * i <= last) {
      std::size_t j = 2 * i;
      if (j < last && compare(a[j - 1], a[j]) < 0) ++j;
      if (compare(a[i - 1], a[j - 1]) >= 0) break;
      std::swap(a[i - 1], a[j - 1]);
      i = j;
    }
  };
  for (std::size_t i = n / 2; i >= 1; --i) sift_down(i, n);
  for (std::size_t last = n; last >= 2; --last) {
    std::swap(a[0], a[last - 1]);
    sift_down(1, last - 1);
  }
}

// The sort runs on one 64-bit number per record whose order is the order
// of the key's comparison (equal numbers for records that compare equal):
// the heap sort then makes exactly the moves it makes on the records, with
// cheap comparisons.
std::uint64_t Biased(std::int32_t value) {
  return static_cast<std::uint32_t>(value) ^ 0x80000000u;
}

std::uint64_t Packed(std::uint64_t high, std::int32_t low) { return high << 32 | Biased(low); }

// The rank of each key among all of them: equal keys get equal ranks.
template <typename Key, typename Compare>
std::vector<std::uint64_t> Ranks(const std::vector<Key>& keys, Compare compare) {
  std::vector<std::uint32_t> order(keys.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) { return compare(keys[x], keys[y]) < 0; });
  std::vector<std::uint64_t> ranks(keys.size());
  std::uint64_t rank = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i > 0 && compare(keys[order[i - 1]], keys[order[i]]) != 0) ++rank;
    ranks[order[i]] = rank;
  }
  return ranks;
}

// The ranks of the records' texts under a key made from each text: a box
// holds the same sender or subject many times, so each distinct text is
// made into a key and sorted once.
using TextOf = const std::string& (*)(const CMail&);

template <typename Make, typename Compare>
std::vector<std::uint64_t> TextRanks(const std::vector<const CMail*>& mails, TextOf field, Make make,
                                     Compare compare) {
  using Key = decltype(make(std::string_view()));
  std::unordered_map<std::string_view, std::uint32_t> ids;
  ids.reserve(mails.size());
  std::vector<std::uint32_t> id_of(mails.size());
  std::vector<Key> keys;
  for (std::size_t i = 0; i < mails.size(); ++i) {
    const auto [it, added] = ids.try_emplace(field(*mails[i]), static_cast<std::uint32_t>(keys.size()));
    if (added) keys.push_back(make(it->first));
    id_of[i] = it->second;
  }
  const std::vector<std::uint64_t> key_ranks = Ranks(keys, compare);
  std::vector<std::uint64_t> ranks(mails.size());
  for (std::size_t i = 0; i < mails.size(); ++i) ranks[i] = key_ranks[id_of[i]];
  return ranks;
}

const std::string& FromOf(const CMail& mail) { return mail.from; }
const std::string& ToOf(const CMail& mail) { return mail.to; }
const std::string& SubjectOf(const CMail& mail) { return mail.subject; }

TextOf TextFieldOf(SortKey key) { return key == SortKey::From ? FromOf : key == SortKey::To ? ToOf : SubjectOf; }

const std::string& TextField(const CMail& mail, SortKey key) { return TextFieldOf(key)(mail); }

std::vector<std::uint64_t> SortNumbers(const std::vector<const CMail*>& mails, SortKey key) {
  std::vector<std::uint64_t> numbers;
  numbers.reserve(mails.size());
  switch (key) {
    case SortKey::Date:
      for (const auto& m : mails) numbers.push_back(Biased(m->date));
      return numbers;
    case SortKey::Label:
      for (const auto& m : mails) numbers.push_back(Packed(Biased(m->label), m->date));
      return numbers;
    case SortKey::Status:
      for (const auto& m : mails) numbers.push_back(Packed(Biased(m->status), m->date));
      return numbers;
    case SortKey::From:
    case SortKey::Subject:
    case SortKey::To: {
      const auto ranks = TextRanks(mails, TextFieldOf(key), MakeTextKey, CompareTextKeys);
      for (std::size_t i = 0; i < mails.size(); ++i) numbers.push_back(Packed(ranks[i], mails[i]->date));
      return numbers;
    }
    case SortKey::Thread: {
      return TextRanks(mails, SubjectOf, MakeThreadKey, [](const ThreadKey& a, const ThreadKey& b) {
        const int c = a.subject.compare(b.subject);
        return c != 0 ? c : a.prefix.compare(b.prefix);
      });
    }
  }
  return numbers;
}

// Positions 0..n-1 in sorted order.
std::vector<std::uint32_t> OrderOf(const std::vector<const CMail*>& mails, SortKey key) {
  struct Entry {
    std::uint64_t number;
    std::uint32_t position;
  };
  const std::vector<std::uint64_t> numbers = SortNumbers(mails, key);
  std::vector<Entry> entries(numbers.size());
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = {numbers[i], static_cast<std::uint32_t>(i)};
  HeapSort(entries, [](const Entry& a, const Entry& b) { return ThreeWay(a.number, b.number); });
  std::vector<std::uint32_t> order;
  order.reserve(entries.size());
  for (const Entry& entry : entries) order.push_back(entry.position);
  return order;
}

}  // namespace

int CompareSortText(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const int ua = UnitAt(a, i);
    const int ub = UnitAt(b, j);
    if (ua != ub) return ua - ub;
  }
  return ThreeWay(i < a.size(), j < b.size());
}

int CompareMails(const CMail& a, const CMail& b, SortKey key) {
  switch (key) {
    case SortKey::Date: return ThreeWay(a.date, b.date);
    case SortKey::From:
    case SortKey::Subject:
    case SortKey::To: {
      const int c = CompareSortText(TextField(a, key), TextField(b, key));
      return c != 0 ? c : ThreeWay(a.date, b.date);
    }
    case SortKey::Label: {
      const int c = ThreeWay(a.label, b.label);
      return c != 0 ? c : ThreeWay(a.date, b.date);
    }
    case SortKey::Status: {
      const int c = ThreeWay(a.status, b.status);
      return c != 0 ? c : ThreeWay(a.date, b.date);
    }
    case SortKey::Thread: {
      const ThreadKey ka = MakeThreadKey(a.subject);
      const ThreadKey kb = MakeThreadKey(b.subject);
      const int c = ka.subject.compare(kb.subject);
      return c != 0 ? c : ka.prefix.compare(kb.prefix);
    }
  }
  return 0;
}

bool Sort(CLPOSTDoc& box, int key, Progress* progress) {
  if (key < 0 || key >= kSortKeyCount) return false;
  const int current = box.current_index();

  // The order is worked out first, so that a cancel before the records move
  // leaves the box untouched.
  OptionalProgress shown(progress);
  shown.SetRange(0, 1);
  std::vector<const CMail*> records;
  records.reserve(static_cast<std::size_t>(box.Count()));
  for (int i = 0; i < box.Count(); ++i) records.push_back(box.RecordAt(i));
  const std::vector<std::uint32_t> order = OrderOf(records, static_cast<SortKey>(key));
  if (shown.CancelRequested()) return false;

  box.Reorder([&order](CLPOSTDoc::Records& mails) {
    CLPOSTDoc::Records sorted;
    sorted.reserve(mails.size());
    for (std::uint32_t position : order) sorted.push_back(std::move(mails[position]));
    mails = std::move(sorted);
  });
  shown.SetPosition(1);
  box.set_current_index(current);
  return true;
}

}  // namespace lp
