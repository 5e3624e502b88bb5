#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kv::script {

class TClassDef;

// Heap cells are reference counted; values with value semantics (strings,
// records, static arrays) copy themselves before the first write when shared.
struct THeap {
  int32_t Rc = 1;
  virtual ~THeap() = default;
};

enum class TTag : uint8_t { Nil, Int, Float, Proc, Ref, Str, Agg, Set, Obj };

struct TValue;

struct TValue {
  TTag Tag = TTag::Nil;
  union {
    int64_t I;
    double F;
    THeap* H;
    TValue* R;
  };

  TValue() : I(0) {}
  static TValue Int(int64_t v) {
    TValue r;
    r.Tag = TTag::Int;
    r.I = v;
    return r;
  }
  static TValue Float(double v) {
    TValue r;
    r.Tag = TTag::Float;
    r.F = v;
    return r;
  }
  static TValue Ref(TValue* p) {
    TValue r;
    r.Tag = TTag::Ref;
    r.R = p;
    return r;
  }
  static TValue Proc(int64_t index) {
    TValue r;
    r.Tag = TTag::Proc;
    r.I = index;
    return r;
  }
  static TValue Str(const std::string& s);
  static TValue EmptyOf(TTag tag) {
    TValue r;
    r.Tag = tag;
    r.H = nullptr;
    return r;
  }

  bool IsHeap() const { return Tag >= TTag::Str; }
  TValue(const TValue& o) : Tag(o.Tag), I(o.I) {
    if (IsHeap() && H) ++H->Rc;
  }
  TValue(TValue&& o) noexcept : Tag(o.Tag), I(o.I) { o.Tag = TTag::Nil; }
  TValue& operator=(const TValue& o) {
    if (o.IsHeap() && o.H) ++o.H->Rc;
    Release();
    Tag = o.Tag;
    I = o.I;
    return *this;
  }
  TValue& operator=(TValue&& o) noexcept {
    if (this != &o) {
      Release();
      Tag = o.Tag;
      I = o.I;
      o.Tag = TTag::Nil;
    }
    return *this;
  }
  ~TValue() { Release(); }
  void Release() {
    if (IsHeap() && H && --H->Rc == 0) delete H;
    Tag = TTag::Nil;
  }

  // Accessors for the script's own types.
  const std::string& AsString() const;
  std::string& MutableString();
  bool AsBool() const { return I != 0; }
  double AsFloat() const { return Tag == TTag::Float ? F : static_cast<double>(I); }
};

struct TStrCell : THeap {
  std::string S;
};

// Records and static arrays (IsValue) or dynamic arrays (shared references).
struct TAggCell : THeap {
  std::vector<TValue> Items;
  bool IsValue = true;
};

struct TSetCell : THeap {
  uint64_t Bits[4] = {0, 0, 0, 0};
};

// A script-visible object: a host object, or one the script created (Owned).
struct TObjCell : THeap {
  void* Ptr = nullptr;
  const TClassDef* Cls = nullptr;
  bool Owned = false;
  ~TObjCell() override;
  void Destroy();
};

TAggCell* UniqueAgg(TValue& v);
TValue NewAgg(size_t count, bool isValue);
TValue NewSet();
TSetCell* UniqueSet(TValue& v);
bool SetHas(const TValue& v, int64_t bit);
// Host sets are 256 bits, lowest element in bit 0 of Bits[0].
TValue SetFromBits(const uint64_t bits[4]);
void SetToBits(const TValue& v, uint64_t bits[4]);
TValue NewObject(void* ptr, const TClassDef* cls, bool owned);
void* ObjectPtr(const TValue& v);
const TClassDef* ObjectClass(const TValue& v);

} // namespace kv::script
