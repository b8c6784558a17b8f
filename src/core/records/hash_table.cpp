#include "records/hash_table.h"

#include <algorithm>

namespace velmora {

namespace {
constexpr std::size_t kCompactionSpareCount = 100;

std::size_t ToSize(int value) { return static_cast<std::size_t>(value); }
}  // namespace

EHashInvalidKeyError::EHashInvalidKeyError() : EHashError("Key cannot be an empty string") {}

EHashFindError::EHashFindError(std::string_view key) : EHashError("Key \"" + std::string(key) + "\" not found") {}

std::uint32_t THash::HashOf(std::string_view key) {
  std::uint32_t h = 0x12345670u;
  for (const char c : key) {
    h = (h << 4) + static_cast<unsigned char>(c);
    const std::uint32_t g = h & 0xF0000000u;
    if (g != 0) h |= g >> 24;
  }
  return h;
}

std::optional<THash::TPosition> THash::Find(std::string_view key) const {
  if (key.empty()) throw EHashInvalidKeyError();
  const int bucket = static_cast<int>(HashOf(key) & (kBucketCount - 1));
  const auto& records = Buckets_[ToSize(bucket)];
  for (std::size_t slot = 0; slot < records.size(); ++slot) {
    if (records[slot].Key == key) return TPosition{bucket, static_cast<int>(slot)};
  }
  return std::nullopt;
}

int THash::FindIndex(std::string_view key) const {
  const auto position = Find(key);
  if (!position) return -1;
  return Buckets_[ToSize(position->Bucket)][ToSize(position->Slot)].ValueIndex;
}

int THash::IndexOrThrow(std::string_view key) const {
  const int index = FindIndex(key);
  if (index < 0) throw EHashFindError(key);
  return index;
}

int THash::IndexForSet(std::string_view key, bool& inserted) {
  const int existing = FindIndex(key);
  inserted = existing < 0;
  if (!inserted) return existing;

  int index;
  if (!SpareIndexes_.empty()) {
    index = SpareIndexes_.back();
    SpareIndexes_.pop_back();
  } else {
    index = HighestValueIndex() + 1;
  }
  if (HighestValueIndex() < index) SetValueCount(index + 1);
  const std::uint32_t hash = HashOf(key);
  Buckets_[hash & (kBucketCount - 1)].push_back(TKeyRecord{hash, index, std::string(key)});
  IterationValid_ = false;
  return index;
}

bool THash::Exists(std::string_view key) const { return Find(key).has_value(); }

void THash::Delete(std::string_view key) {
  const auto position = Find(key);
  if (!position) throw EHashFindError(key);
  IterationValid_ = false;
  auto& records = Buckets_[ToSize(position->Bucket)];
  const int index = records[ToSize(position->Slot)].ValueIndex;
  ClearValue(index);
  SpareIndexes_.push_back(index);
  records[ToSize(position->Slot)] = std::move(records.back());
  records.pop_back();
  if (SpareIndexes_.size() >= kCompactionSpareCount &&
      2 * static_cast<std::size_t>(std::max(HighestValueIndex(), 0)) > SpareIndexes_.size()) {
    Compact();
  }
}

void THash::Compact() {
  const int highest = HighestValueIndex();
  std::vector<bool> used(ToSize(highest + 1), true);
  for (const int spare : SpareIndexes_) used[ToSize(spare)] = false;
  std::vector<int> remap(ToSize(highest + 1));
  for (int k = 0; k <= highest; ++k) remap[ToSize(k)] = k;

  int j = 0;
  int i = highest;
  while (j < i) {
    if (used[ToSize(j)]) {
      ++j;
      continue;
    }
    while (i > j && !used[ToSize(i)]) --i;
    if (j >= i) break;
    CopyValue(i, j);
    ClearValue(i);
    used[ToSize(j)] = true;
    used[ToSize(i)] = false;
    remap[ToSize(i)] = j;
  }

  int length = 0;
  for (int k = highest; k >= 0; --k) {
    if (used[ToSize(k)]) {
      length = k + 1;
      break;
    }
  }
  SetValueCount(length);
  SpareIndexes_.clear();
  for (auto& bucket : Buckets_) {
    for (auto& record : bucket) record.ValueIndex = remap[ToSize(record.ValueIndex)];
  }
}

void THash::Clear() {
  ClearAllValues();
  SpareIndexes_.clear();
  for (auto& bucket : Buckets_) bucket.clear();
}

std::size_t THash::Count() const {
  std::size_t count = 0;
  for (const auto& bucket : Buckets_) count += bucket.size();
  return count;
}

void THash::Restart() {
  IterationValid_ = true;
  BucketCursor_ = -1;
  PositionCursor_ = 0;
  CurrentKey_.reset();
}

bool THash::Next() {
  if (!IterationValid_) {
    throw EHashIterateError("Cannot get Next as the hash has been modified since Restart was called");
  }
  if (BucketCursor_ < 0) {
    BucketCursor_ = 0;
    PositionCursor_ = 0;
  }
  while (BucketCursor_ < kBucketCount) {
    const auto& records = Buckets_[ToSize(BucketCursor_)];
    if (ToSize(PositionCursor_) < records.size()) {
      CurrentKey_ = records[ToSize(PositionCursor_)].Key;
      ++PositionCursor_;
      return true;
    }
    ++BucketCursor_;
    PositionCursor_ = 0;
  }
  return false;
}

std::string THash::CurrentKey() const {
  if (!IterationValid_) {
    throw EHashIterateError("Cannot find CurrentKey as the hash has been modified since Restart was called");
  }
  if (!CurrentKey_) {
    throw EHashIterateError("Cannot find CurrentKey as Next has not yet been called after Restart");
  }
  return *CurrentKey_;
}

std::vector<std::string> THash::KeysInOrder() const {
  std::vector<std::string> keys;
  for (const auto& bucket : Buckets_) {
    for (const auto& record : bucket) keys.push_back(record.Key);
  }
  return keys;
}

// --- value storage ---

void TStringHash::Set(std::string_view key, std::string value) {
  bool inserted = false;
  Values_[ToSize(IndexForSet(key, inserted))] = std::move(value);
}
std::optional<std::string> TStringHash::Get(std::string_view key) const {
  const int index = FindIndex(key);
  if (index < 0) return std::nullopt;
  return Values_[ToSize(index)];
}
void TStringHash::ClearValue(int index) { Values_[ToSize(index)].clear(); }
void TStringHash::CopyValue(int from, int to) { Values_[ToSize(to)] = Values_[ToSize(from)]; }
void TStringHash::SetValueCount(int count) { Values_.resize(ToSize(count)); }
void TStringHash::ClearAllValues() { Values_.clear(); }
int TStringHash::HighestValueIndex() const { return static_cast<int>(Values_.size()) - 1; }

void TIntegerHash::Set(std::string_view key, std::int32_t value) {
  bool inserted = false;
  Values_[ToSize(IndexForSet(key, inserted))] = value;
}
std::int32_t TIntegerHash::Get(std::string_view key) const { return Values_[ToSize(IndexOrThrow(key))]; }
void TIntegerHash::Add(std::string_view key, std::int32_t delta) { Values_[ToSize(IndexOrThrow(key))] += delta; }
void TIntegerHash::ClearValue(int index) { Values_[ToSize(index)] = 0; }
void TIntegerHash::CopyValue(int from, int to) { Values_[ToSize(to)] = Values_[ToSize(from)]; }
void TIntegerHash::SetValueCount(int count) { Values_.resize(ToSize(count)); }
void TIntegerHash::ClearAllValues() { Values_.clear(); }
int TIntegerHash::HighestValueIndex() const { return static_cast<int>(Values_.size()) - 1; }

}  // namespace velmora
