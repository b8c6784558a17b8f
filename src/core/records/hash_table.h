#pragma once
// Keyed tables with a fixed bucket count and a deterministic iteration order. The order (buckets
// ascending, insertion order inside a bucket) shows in game documents and in the efficiency
// formula, so it must never change.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class EHashError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EHashInvalidKeyError : public EHashError {
 public:
  EHashInvalidKeyError();
};
class EHashFindError : public EHashError {
 public:
  explicit EHashFindError(std::string_view key);
};
class EHashIterateError : public EHashError {
 public:
  using EHashError::EHashError;
};

class THash {
 public:
  static constexpr int kBucketCount = 128;

  virtual ~THash() = default;

  // The 32-bit key hash; the bucket is HashOf(key) & 127.
  static std::uint32_t HashOf(std::string_view key);

  bool Exists(std::string_view key) const;
  // Raises EHashFindError for a missing key.
  void Delete(std::string_view key);
  // Empties the table; the iteration state is left as it is.
  void Clear();
  std::size_t Count() const;

  void Restart();
  // Raises EHashIterateError when the table gained or lost a key since Restart.
  bool Next();
  std::string CurrentKey() const;

  // The keys in iteration order, without touching the iteration state.
  std::vector<std::string> KeysInOrder() const;

 protected:
  THash() = default;
  THash(const THash&) = default;
  THash& operator=(const THash&) = default;
  THash(THash&&) noexcept = default;
  THash& operator=(THash&&) noexcept = default;

  // Value storage of the derived tables.
  virtual void ClearValue(int index) = 0;
  virtual void CopyValue(int from, int to) = 0;
  virtual void SetValueCount(int count) = 0;
  virtual void ClearAllValues() = 0;
  virtual int HighestValueIndex() const = 0;

  // The value index of the key, or -1.
  int FindIndex(std::string_view key) const;
  // The value index of the key, inserting it when new; `inserted` tells which.
  int IndexForSet(std::string_view key, bool& inserted);
  // The value index of the key; EHashFindError when missing.
  int IndexOrThrow(std::string_view key) const;

 private:
  struct TKeyRecord {
    std::uint32_t Hash;
    int ValueIndex;
    std::string Key;
  };
  struct TPosition {
    int Bucket;
    int Slot;
  };

  std::optional<TPosition> Find(std::string_view key) const;
  void Compact();

  std::array<std::vector<TKeyRecord>, kBucketCount> Buckets_;
  std::vector<int> SpareIndexes_;
  bool IterationValid_ = false;
  int BucketCursor_ = -1;
  int PositionCursor_ = 0;
  std::optional<std::string> CurrentKey_;
};

class TStringHash final : public THash {
 public:
  void Set(std::string_view key, std::string value);
  // No value for a missing key (nothing is raised).
  std::optional<std::string> Get(std::string_view key) const;

 protected:
  void ClearValue(int index) override;
  void CopyValue(int from, int to) override;
  void SetValueCount(int count) override;
  void ClearAllValues() override;
  int HighestValueIndex() const override;

 private:
  std::vector<std::string> Values_;
};

class TIntegerHash final : public THash {
 public:
  void Set(std::string_view key, std::int32_t value);
  // Raises EHashFindError for a missing key.
  std::int32_t Get(std::string_view key) const;
  // Adds to an existing key; raises EHashFindError for a missing key.
  void Add(std::string_view key, std::int32_t delta);

 protected:
  void ClearValue(int index) override;
  void CopyValue(int from, int to) override;
  void SetValueCount(int count) override;
  void ClearAllValues() override;
  int HighestValueIndex() const override;

 private:
  std::vector<std::int32_t> Values_;
};

// Owns its objects: replacing, deleting or clearing destroys them.
template <typename T>
class TObjectHash final : public THash {
 public:
  TObjectHash() = default;
  TObjectHash(TObjectHash&&) noexcept = default;
  TObjectHash& operator=(TObjectHash&&) noexcept = default;

  void Set(std::string_view key, std::unique_ptr<T> value) {
    bool inserted = false;
    const int index = IndexForSet(key, inserted);
    Values_[static_cast<std::size_t>(index)] = std::move(value);
  }
  // Raises EHashFindError for a missing key.
  T& Get(std::string_view key) const { return *Values_[static_cast<std::size_t>(IndexOrThrow(key))]; }

 protected:
  void ClearValue(int index) override { Values_[static_cast<std::size_t>(index)].reset(); }
  void CopyValue(int from, int to) override {
    Values_[static_cast<std::size_t>(to)] = std::move(Values_[static_cast<std::size_t>(from)]);
  }
  void SetValueCount(int count) override { Values_.resize(static_cast<std::size_t>(count)); }
  void ClearAllValues() override { Values_.clear(); }
  int HighestValueIndex() const override { return static_cast<int>(Values_.size()) - 1; }

 private:
  std::vector<std::unique_ptr<T>> Values_;
};

}  // namespace velmora
