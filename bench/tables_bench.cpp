// Loading and sorting the game tables at 10,000 rows, and the rows' sort
// against the literal swap-by-swap exchange sort on the same rows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "datafiles/byte_source.h"
#include "datafiles/common/exchange_sort.h"
#include "datafiles/item_object_table.h"
#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "datafiles/trisprite_table.h"
#include "platform/core/paths.h"

namespace {

constexpr std::size_t kRows = 10000;
using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, const void* p, std::size_t n) {
  std::size_t at = b.size();
  b.resize(at + n);
  std::memcpy(b.data() + at, p, n);
}
void U16(Bytes& b, std::uint16_t v) { Put(b, &v, 2); }
void U32(Bytes& b, std::uint32_t v) { Put(b, &v, 4); }
void Fixed(Bytes& b, const std::string& s, std::size_t n) {
  std::string t = s.substr(0, n);
  t.resize(n, '\0');
  Put(b, t.data(), n);
}

// Names as the game writes them, with repeats and case variants so that ties occur.
std::vector<std::string> Names(std::size_t n, unsigned seed) {
  const char* words[] = {"orc", "goblin", "troll", "sword", "shield", "axe", "bow", "ring", "helm",
                         "potion", "skeleton", "wolf", "bat", "dragon", "staff", "amulet"};
  std::mt19937 rng(seed);
  std::vector<std::string> out;
  for (std::size_t k = 0; k < n; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "%s_%s_%u", words[rng() % 16], words[rng() % 16],
                  static_cast<unsigned>(rng() % 2000));
    std::string s = name;
    if (rng() % 4 == 0)
      for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    out.push_back(s);
  }
  return out;
}

Bytes Header(std::size_t rows) {
  Bytes b;
  U16(b, 1);
  U32(b, static_cast<std::uint32_t>(rows));
  return b;
}

Bytes MakeMonsterFile(bool presorted) {
    Bytes b = Header(kRows);
    std::vector<std::string> names = Names(kRows, 1);
    if (presorted)
      std::sort(names.begin(), names.end(), [](const std::string& x, const std::string& y) {
        return platform::CompareNoCase(x, y) < 0;
      });
    for (std::size_t k = 0; k < kRows; ++k) {
      U16(b, 16);
      Fixed(b, names[k], 32);
      std::size_t start = b.size();
      b.resize(start + 582 - 32, 0);
      // The origin name (field 38) at its place in a version-16 row.
      std::size_t origin = start + 32 + 4 + 24 + 6 + 48 + 64 + 4 + 4 + 8 + 16 + 8;
      std::string o = names[(k * 7) % kRows];
      std::memcpy(&b[origin], o.data(), std::min<std::size_t>(o.size(), 31));
    }
    return b;
}

const Bytes& MonsterFile() {
  static const Bytes bytes = MakeMonsterFile(false);
  return bytes;
}

// A file written in table order already, as a tool that saves sorted tables would.
const Bytes& SortedMonsterFile() {
  static const Bytes bytes = MakeMonsterFile(true);
  return bytes;
}

const Bytes& ItemFile() {
  static const Bytes bytes = [] {
    Bytes b = Header(kRows);
    std::vector<std::string> names = Names(kRows, 2);
    for (std::size_t k = 0; k < kRows; ++k) {
      U16(b, 9);
      U32(b, 0);
      U16(b, static_cast<std::uint16_t>(k));
      Fixed(b, names[k], 32);
      b.resize(b.size() + 396 - 4 - 2 - 32, 1);
    }
    return b;
  }();
  return bytes;
}

const Bytes& TrispriteFile() {
  static const Bytes bytes = [] {
    Bytes b = Header(kRows);
    std::vector<std::string> names = Names(kRows, 3);
    for (std::size_t k = 0; k < kRows; ++k) {
      U16(b, 1);
      Fixed(b, names[k], 32);
      b.resize(b.size() + 14, 2);
    }
    return b;
  }();
  return bytes;
}

const Bytes& LanguageFile() {
  static const Bytes bytes = [] {
    Bytes b = Header(kRows);
    std::vector<std::string> names = Names(kRows, 4);
    for (std::size_t k = 0; k < kRows; ++k) {
      U16(b, 3);
      U32(b, 0);
      U32(b, static_cast<std::uint32_t>(names[k].size() + 1));
      Put(b, names[k].c_str(), names[k].size() + 1);
      U32(b, 7);
      for (int l = 0; l < 7; ++l) {
        std::string text = "Text of " + names[k] + " in language " + std::to_string(l);
        U32(b, static_cast<std::uint32_t>(text.size() + 1));
        Put(b, text.c_str(), text.size() + 1);
      }
    }
    return b;
  }();
  return bytes;
}

template <class Table>
void LoadTable(benchmark::State& state, const Bytes& bytes) {
  Table table;
  for (auto _ : state) {
    if (!table.Read(bytes)) state.SkipWithError("table refused");
    benchmark::DoNotOptimize(table.Count());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_LoadMonsterClasses(benchmark::State& s) { LoadTable<CMonsterClassTable>(s, MonsterFile()); }
void BM_LoadMonsterClassesPresorted(benchmark::State& s) { LoadTable<CMonsterClassTable>(s, SortedMonsterFile()); }
void BM_LoadItemObjects(benchmark::State& s) { LoadTable<CItemObjectTable>(s, ItemFile()); }
void BM_LoadTrisprites(benchmark::State& s) { LoadTable<CTrispriteTable>(s, TrispriteFile()); }
void BM_LoadLanguage(benchmark::State& s) { LoadTable<CLanguageTable>(s, LanguageFile()); }
BENCHMARK(BM_LoadMonsterClasses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMonsterClassesPresorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadItemObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTrisprites)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLanguage)->Unit(benchmark::kMillisecond);

// The rows of a table in file order: a sorted table's rows are read back
// from the file with the sort undone by reading each row alone.
template <class Row>
std::vector<Row> FileOrderRows(const Bytes& file) {
  std::vector<Row> rows(kRows);
  SpanSource source(std::span<const std::uint8_t>(file).subspan(6));
  for (Row& r : rows) r.Read(source);
  return rows;
}

// Our sort and the literal one on the same rows; the ratio is literal / ours.
template <class Row, class Less>
void SortAgainstLiteral(benchmark::State& state, const std::vector<Row>& input, Less less) {
  double fastSeconds = 0, literalSeconds = 0;
  for (auto _ : state) {
    std::vector<Row> fast = input;
    auto t0 = std::chrono::steady_clock::now();
    ExchangeSortRows(std::span<Row>(fast), less);
    auto t1 = std::chrono::steady_clock::now();
    std::vector<Row> literal = input;
    auto t2 = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i + 1 < literal.size(); ++i)
      for (std::size_t j = i + 1; j < literal.size(); ++j)
        if (less(literal[j], literal[i])) std::swap(literal[i], literal[j]);
    auto t3 = std::chrono::steady_clock::now();
    fastSeconds += std::chrono::duration<double>(t1 - t0).count();
    literalSeconds += std::chrono::duration<double>(t3 - t2).count();
    for (std::size_t k = 0; k < fast.size(); ++k)
      if (std::memcmp(&fast[k], &literal[k], sizeof(Row)) != 0) state.SkipWithError("orders differ");
  }
  double n = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1000 * fastSeconds / n;
  state.counters["literal_ms"] = 1000 * literalSeconds / n;
  state.counters["ratio"] = literalSeconds / fastSeconds;
}

void BM_SortMonsterClassesVsLiteral(benchmark::State& state) {
  static const std::vector<CMonsterClass> rows = FileOrderRows<CMonsterClass>(MonsterFile());
  SortAgainstLiteral(state, rows, [](const CMonsterClass& a, const CMonsterClass& b) {
    return platform::CompareNoCase(a.name, b.name) < 0;
  });
}
void BM_SortItemObjectsVsLiteral(benchmark::State& state) {
  static const std::vector<CItemObject> rows = FileOrderRows<CItemObject>(ItemFile());
  SortAgainstLiteral(state, rows, [](const CItemObject& a, const CItemObject& b) { return std::strcmp(a.name, b.name) < 0; });
}
BENCHMARK(BM_SortMonsterClassesVsLiteral)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SortItemObjectsVsLiteral)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
