#include "records/hash_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace velmora {
namespace {

// The statistics keys in the order a player's table is made; documents show them in the
// iteration order this produces.
const std::vector<std::string> kStatisticKeys = {
    "IN", "STA", "MIN", "PTS", "P1A", "P1M", "P2A", "P2M", "P3A",     "P3M", "RD",
    "RO", "RT",  "AS",  "ST",  "PF",  "BS",  "BR",  "TO",  "LAST_IN", "RF",  "PLLSS"};

int BucketOf(std::string_view key) { return static_cast<int>(THash::HashOf(key) & 127u); }

std::vector<std::string> Iterate(THash& table) {
  std::vector<std::string> keys;
  table.Restart();
  while (table.Next()) keys.push_back(table.CurrentKey());
  return keys;
}

// Exposes the value-index bookkeeping that the derived tables build on; the stored value of each
// slot is the key it was set for, so misplaced values show up directly.
class TProbeHash final : public THash {
 public:
  int Insert(const std::string& key) {
    bool inserted = false;
    const int index = IndexForSet(key, inserted);
    Values.at(static_cast<std::size_t>(index)) = key;
    return index;
  }
  int IndexOf(std::string_view key) const { return FindIndex(key); }
  int Highest() const { return HighestValueIndex(); }

  std::vector<std::string> Values;

 protected:
  void ClearValue(int index) override { Values.at(static_cast<std::size_t>(index)).clear(); }
  void CopyValue(int from, int to) override {
    Values.at(static_cast<std::size_t>(to)) = Values.at(static_cast<std::size_t>(from));
  }
  void SetValueCount(int count) override { Values.resize(static_cast<std::size_t>(count)); }
  void ClearAllValues() override { Values.clear(); }
  int HighestValueIndex() const override { return static_cast<int>(Values.size()) - 1; }
};

// Expected key order: buckets ascending, a deletion moving the bucket's last record into the hole.
class TOrderModel {
 public:
  void Add(const std::string& key) { Buckets_[static_cast<std::size_t>(BucketOf(key))].push_back(key); }
  void Remove(const std::string& key) {
    auto& bucket = Buckets_[static_cast<std::size_t>(BucketOf(key))];
    const auto it = std::find(bucket.begin(), bucket.end(), key);
    ASSERT_NE(it, bucket.end());
    *it = bucket.back();
    bucket.pop_back();
  }
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (const auto& bucket : Buckets_) keys.insert(keys.end(), bucket.begin(), bucket.end());
    return keys;
  }

 private:
  std::array<std::vector<std::string>, 128> Buckets_;
};

std::string NumberedKey(int n) { return "K" + std::to_string(n); }

const char* const kModifiedNext = "Cannot get Next as the hash has been modified since Restart was called";
const char* const kModifiedCurrent = "Cannot find CurrentKey as the hash has been modified since Restart was called";
const char* const kNoNextYet = "Cannot find CurrentKey as Next has not yet been called after Restart";

template <typename TError, typename TOperation>
void ExpectError(TOperation operation, const std::string& message) {
  try {
    operation();
    ADD_FAILURE() << "nothing raised; expected: " << message;
  } catch (const TError& error) {
    EXPECT_EQ(error.what(), message);
  }
}

TEST(HashKey, HashesAndBucketsAreFixed) {
  EXPECT_EQ(BucketOf("ST"), 52);
  EXPECT_EQ(BucketOf("TO"), 63);
  EXPECT_EQ(BucketOf("STA"), 65);
  EXPECT_EQ(BucketOf("AS"), 115);
  EXPECT_EQ(BucketOf("BS"), 115);
  EXPECT_EQ(BucketOf("RD"), 116);
  EXPECT_EQ(BucketOf("RT"), 116);
  EXPECT_EQ(BucketOf("PF"), 118);
  EXPECT_EQ(BucketOf("RF"), 118);
  EXPECT_EQ(BucketOf("IN"), 126);
  EXPECT_EQ(BucketOf("LAST_IN"), 126);
  // Long keys push bits through the top nibble, where the fold back into the low byte happens.
  EXPECT_EQ(THash::HashOf("LAST_IN"), 0x736E07FEu);
  EXPECT_EQ(THash::HashOf("PLAYER_NAME_LONG"), 0x900CD8B7u);
  EXPECT_EQ(THash::HashOf(""), 0x12345670u);
}

TEST(HashIteration, StatisticKeysComeInBucketThenInsertionOrder) {
  TIntegerHash table;
  for (const auto& key : kStatisticKeys) table.Set(key, 0);
  const std::vector<std::string> expected = {
      "ST", "TO", "STA", "P1A", "PTS", "P1M", "MIN", "P2A", "PLLSS", "P2M", "P3A",
      "BR", "AS", "BS",  "RD",  "RT",  "PF",  "RF",  "P3M", "IN",    "LAST_IN", "RO"};
  EXPECT_EQ(Iterate(table), expected);
  EXPECT_EQ(table.KeysInOrder(), expected);
  EXPECT_EQ(table.Count(), kStatisticKeys.size());
}

TEST(HashIteration, RestartRepeatsAndEmptyTableYieldsNothing) {
  TStringHash table;
  EXPECT_TRUE(Iterate(table).empty());
  table.Set("TO", "a");
  table.Set("ST", "b");
  EXPECT_EQ(Iterate(table), (std::vector<std::string>{"ST", "TO"}));
  EXPECT_EQ(Iterate(table), (std::vector<std::string>{"ST", "TO"}));
  // After the end the last produced key stays current.
  EXPECT_FALSE(table.Next());
  EXPECT_EQ(table.CurrentKey(), "TO");
}

TEST(HashIteration, DeletionMovesTheBucketsLastRecordIntoTheHole) {
  // "AC", "AS" and "BC" all fall into bucket 115.
  ASSERT_EQ(BucketOf("AC"), 115);
  ASSERT_EQ(BucketOf("BC"), 115);
  TIntegerHash table;
  for (const char* key : {"AC", "AS", "BC", "ST"}) table.Set(key, 1);
  table.Delete("AC");
  EXPECT_EQ(Iterate(table), (std::vector<std::string>{"ST", "BC", "AS"}));
  table.Delete("BC");
  EXPECT_EQ(Iterate(table), (std::vector<std::string>{"ST", "AS"}));
  table.Set("AC", 2);
  EXPECT_EQ(Iterate(table), (std::vector<std::string>{"ST", "AS", "AC"}));
}

TEST(HashIteration, ValueChangesKeepTheIterationButKeyChangesInvalidateIt) {
  TIntegerHash table;
  for (const auto& key : kStatisticKeys) table.Set(key, 0);

  table.Restart();
  int visited = 0;
  while (table.Next()) {
    table.Set(table.CurrentKey(), 5);
    table.Add(table.CurrentKey(), 1);
    ++visited;
  }
  EXPECT_EQ(visited, static_cast<int>(kStatisticKeys.size()));
  for (const auto& key : kStatisticKeys) EXPECT_EQ(table.Get(key), 6) << key;

  table.Restart();
  ASSERT_TRUE(table.Next());
  table.Set("NEW", 1);
  ExpectError<EHashIterateError>([&] { table.Next(); }, kModifiedNext);
  ExpectError<EHashIterateError>([&] { table.CurrentKey(); }, kModifiedCurrent);

  table.Restart();
  ASSERT_TRUE(table.Next());
  table.Delete("NEW");
  ExpectError<EHashIterateError>([&] { table.Next(); }, kModifiedNext);
  ExpectError<EHashIterateError>([&] { table.CurrentKey(); }, kModifiedCurrent);

  // A failed delete changes nothing, so the iteration stays valid.
  table.Restart();
  ASSERT_TRUE(table.Next());
  EXPECT_THROW(table.Delete("NEW"), EHashFindError);
  EXPECT_TRUE(table.Next());
}

TEST(HashIteration, UsageErrorsBeforeIterating) {
  TStringHash table;
  table.Set("ST", "x");
  ExpectError<EHashIterateError>([&] { table.Next(); }, kModifiedNext);
  ExpectError<EHashIterateError>([&] { table.CurrentKey(); }, kModifiedCurrent);
  table.Restart();
  ExpectError<EHashIterateError>([&] { table.CurrentKey(); }, kNoNextYet);
  // Restart forgets the key of an earlier pass.
  ASSERT_TRUE(table.Next());
  table.Restart();
  ExpectError<EHashIterateError>([&] { table.CurrentKey(); }, kNoNextYet);
}

TEST(HashErrors, EmptyKeysAreRefusedEverywhere) {
  TStringHash strings;
  TIntegerHash integers;
  TObjectHash<int> objects;
  const auto expectRefused = [](auto operation) {
    ExpectError<EHashInvalidKeyError>(operation, "Key cannot be an empty string");
  };
  expectRefused([&] { strings.Set("", "x"); });
  expectRefused([&] { strings.Get(""); });
  expectRefused([&] { strings.Exists(""); });
  expectRefused([&] { strings.Delete(""); });
  expectRefused([&] { integers.Set("", 1); });
  expectRefused([&] { integers.Get(""); });
  expectRefused([&] { integers.Add("", 1); });
  expectRefused([&] { objects.Set("", std::make_unique<int>(1)); });
  expectRefused([&] { objects.Get(""); });
  EXPECT_EQ(strings.Count() + integers.Count() + objects.Count(), 0u);
}

TEST(HashErrors, MissingKeys) {
  TIntegerHash integers;
  integers.Set("STA", 1);
  ExpectError<EHashFindError>([&] { integers.Get("MIN"); }, "Key \"MIN\" not found");
  // Keys are case-sensitive.
  EXPECT_THROW(integers.Get("sta"), EHashFindError);
  EXPECT_THROW(integers.Add("MIN", 1), EHashFindError);
  EXPECT_FALSE(integers.Exists("MIN"));

  TStringHash strings;
  ExpectError<EHashFindError>([&] { strings.Delete("Gone"); }, "Key \"Gone\" not found");
  EXPECT_EQ(strings.Get("Gone"), std::nullopt);

  TObjectHash<int> objects;
  ExpectError<EHashFindError>([&] { objects.Get("Gone"); }, "Key \"Gone\" not found");

  // All three are hash errors.
  EXPECT_THROW(objects.Get("Gone"), EHashError);
  EXPECT_THROW(objects.Get(""), EHashError);
  EXPECT_THROW(objects.Next(), EHashError);
}

TEST(HashValues, SetReplacesAndDeleteForgets) {
  TStringHash strings;
  strings.Set("Name", "first");
  strings.Set("Name", "second");
  strings.Set("name", "lower");
  EXPECT_EQ(strings.Get("Name"), "second");
  EXPECT_EQ(strings.Get("name"), "lower");
  EXPECT_EQ(strings.Count(), 2u);
  strings.Delete("Name");
  EXPECT_FALSE(strings.Exists("Name"));
  EXPECT_EQ(strings.Get("name"), "lower");
  // A key set again after deletion starts from the new value, not the cleared one.
  strings.Set("Name", "third");
  EXPECT_EQ(strings.Get("Name"), "third");

  TIntegerHash integers;
  integers.Set("PTS", -7);
  integers.Add("PTS", 10);
  EXPECT_EQ(integers.Get("PTS"), 3);
  integers.Delete("PTS");
  integers.Set("PTS", 0);
  EXPECT_EQ(integers.Get("PTS"), 0);
}

TEST(HashValues, FreedIndexesAreReusedLastFreedFirst) {
  TProbeHash table;
  EXPECT_EQ(table.Insert("a"), 0);
  EXPECT_EQ(table.Insert("b"), 1);
  EXPECT_EQ(table.Insert("c"), 2);
  EXPECT_EQ(table.Insert("d"), 3);
  table.Delete("b");
  table.Delete("d");
  EXPECT_EQ(table.Highest(), 3);  // deletion does not shrink the value array
  EXPECT_EQ(table.Insert("e"), 3);
  EXPECT_EQ(table.Insert("f"), 1);
  EXPECT_EQ(table.Highest(), 3);
  EXPECT_EQ(table.Insert("g"), 4);
  for (const char* key : {"a", "c", "e", "f", "g"}) {
    EXPECT_EQ(table.Values.at(static_cast<std::size_t>(table.IndexOf(key))), key);
  }
}

TEST(HashCompaction, ManyDeletionsCompactWithoutLosingKeysOrValues) {
  constexpr int kKeys = 300;
  TIntegerHash table;
  TProbeHash probe;
  TOrderModel order;
  for (int n = 0; n < kKeys; ++n) {
    table.Set(NumberedKey(n), n * 7);
    probe.Insert(NumberedKey(n));
    order.Add(NumberedKey(n));
  }
  // Deleting two of every three keys frees 200 indexes spread over the whole array, so each
  // compaction has to move values from the top into holes further down.
  int deleted = 0;
  for (int n = 0; n < kKeys; ++n) {
    if (n % 3 == 0) continue;
    table.Delete(NumberedKey(n));
    probe.Delete(NumberedKey(n));
    order.Remove(NumberedKey(n));
    ++deleted;
    if (deleted == 99) {
      EXPECT_EQ(probe.Highest(), kKeys - 1) << "compacted too early";
    } else if (deleted == 100) {
      EXPECT_EQ(probe.Highest(), kKeys - 100 - 1) << "no compaction at 100 spares";
    }
  }
  ASSERT_EQ(deleted, 200);

  EXPECT_EQ(table.Count(), 100u);
  EXPECT_EQ(probe.Highest(), 99);
  EXPECT_EQ(Iterate(table), order.Keys());
  EXPECT_EQ(Iterate(probe), order.Keys());
  for (int n = 0; n < kKeys; ++n) {
    const std::string key = NumberedKey(n);
    if (n % 3 == 0) {
      EXPECT_EQ(table.Get(key), n * 7) << key;
      EXPECT_EQ(probe.Values.at(static_cast<std::size_t>(probe.IndexOf(key))), key);
    } else {
      EXPECT_FALSE(table.Exists(key)) << key;
    }
  }

  // The spare stack is gone after compaction: a new key goes to the end.
  EXPECT_EQ(probe.Insert("fresh"), 100);
  table.Set("fresh", -1);
  table.Set("K0", 42);
  EXPECT_EQ(table.Get("fresh"), -1);
  EXPECT_EQ(table.Get("K0"), 42);
  EXPECT_EQ(table.Get("K3"), 21);
}

TEST(HashCompaction, DeletingEverythingLeavesAUsableTable) {
  TIntegerHash table;
  for (int n = 0; n < 250; ++n) table.Set(NumberedKey(n), n);
  for (int n = 0; n < 250; ++n) table.Delete(NumberedKey(n));
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_TRUE(Iterate(table).empty());
  for (int n = 0; n < 250; n += 50) table.Set(NumberedKey(n), -n);
  for (int n = 0; n < 250; n += 50) EXPECT_EQ(table.Get(NumberedKey(n)), -n);
}

TEST(HashClear, EmptiesTheTableAndStartsIndexesAfresh) {
  TProbeHash probe;
  TIntegerHash table;
  for (const auto& key : kStatisticKeys) {
    probe.Insert(key);
    table.Set(key, 3);
  }
  probe.Delete("ST");
  table.Restart();
  ASSERT_TRUE(table.Next());

  probe.Clear();
  table.Clear();
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_FALSE(table.Exists("IN"));
  EXPECT_THROW(table.Get("IN"), EHashFindError);
  EXPECT_TRUE(table.KeysInOrder().empty());
  // Clear leaves the iteration state alone; the running pass just finds nothing more.
  EXPECT_FALSE(table.Next());

  // No spare index survives the clear.
  EXPECT_EQ(probe.Highest(), -1);
  EXPECT_EQ(probe.Insert("ST"), 0);
  EXPECT_EQ(probe.Insert("TO"), 1);
  table.Set("MIN", 9);
  EXPECT_EQ(table.Get("MIN"), 9);
  EXPECT_EQ(Iterate(table), std::vector<std::string>{"MIN"});
}

// Counts destructions so that ownership mistakes (leaks, double deletes) show.
struct TCounted {
  TCounted(int value, int& destroyed) : Value(value), Destroyed(&destroyed) {}
  ~TCounted() { ++*Destroyed; }
  TCounted(const TCounted&) = delete;
  TCounted& operator=(const TCounted&) = delete;
  int Value;
  int* Destroyed;
};

TEST(ObjectHash, OwnsItsObjects) {
  int destroyed = 0;
  {
    TObjectHash<TCounted> table;
    table.Set("a", std::make_unique<TCounted>(1, destroyed));
    table.Set("b", std::make_unique<TCounted>(2, destroyed));
    table.Set("c", std::make_unique<TCounted>(3, destroyed));
    EXPECT_EQ(destroyed, 0);

    table.Set("a", std::make_unique<TCounted>(10, destroyed));
    EXPECT_EQ(destroyed, 1) << "replaced object";
    EXPECT_EQ(table.Get("a").Value, 10);

    table.Delete("b");
    EXPECT_EQ(destroyed, 2) << "deleted object";
    table.Set("d", std::make_unique<TCounted>(4, destroyed));  // takes b's slot
    EXPECT_EQ(table.Get("d").Value, 4);
    EXPECT_EQ(table.Get("c").Value, 3);

    table.Clear();
    EXPECT_EQ(destroyed, 5) << "cleared objects";

    table.Set("e", std::make_unique<TCounted>(5, destroyed));
    table.Set("f", std::make_unique<TCounted>(6, destroyed));
    table.Get("e").Value = 50;  // Get hands out the owned object itself
    EXPECT_EQ(table.Get("e").Value, 50);

    TObjectHash<TCounted> moved(std::move(table));
    EXPECT_EQ(destroyed, 5);
    EXPECT_EQ(moved.Get("f").Value, 6);
  }
  EXPECT_EQ(destroyed, 7) << "objects left at destruction";
}

TEST(ObjectHash, CompactionMovesObjectsWithoutDestroyingThem) {
  int destroyed = 0;
  {
    TObjectHash<TCounted> table;
    for (int n = 0; n < 150; ++n) table.Set(NumberedKey(n), std::make_unique<TCounted>(n, destroyed));
    for (int n = 0; n < 120; ++n) table.Delete(NumberedKey(n));
    EXPECT_EQ(destroyed, 120);
    for (int n = 120; n < 150; ++n) EXPECT_EQ(table.Get(NumberedKey(n)).Value, n);
  }
  EXPECT_EQ(destroyed, 150);
}

}  // namespace
}  // namespace velmora
