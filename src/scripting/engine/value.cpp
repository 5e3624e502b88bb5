#include "scripting/engine/value.h"

#include "scripting/engine/library.h"

namespace kv::script {

namespace {
const std::string& EmptyString() {
  static const std::string empty;
  return empty;
}
} // namespace

TValue TValue::Str(const std::string& s) {
  TValue r;
  r.Tag = TTag::Str;
  r.H = nullptr;
  if (!s.empty()) {
    auto* c = new TStrCell;
    c->S = s;
    r.H = c;
  }
  return r;
}

const std::string& TValue::AsString() const {
  if (Tag == TTag::Str && H) return static_cast<TStrCell*>(H)->S;
  return EmptyString();
}

std::string& TValue::MutableString() {
  if (Tag != TTag::Str || !H) {
    Release();
    Tag = TTag::Str;
    H = new TStrCell;
  } else if (H->Rc > 1) {
    auto* c = new TStrCell;
    c->S = static_cast<TStrCell*>(H)->S;
    --H->Rc;
    H = c;
  }
  return static_cast<TStrCell*>(H)->S;
}

TAggCell* UniqueAgg(TValue& v) {
  auto* a = static_cast<TAggCell*>(v.H);
  if (a && a->IsValue && a->Rc > 1) {
    auto* c = new TAggCell;
    c->Items = a->Items;
    c->IsValue = true;
    --a->Rc;
    v.H = c;
    return c;
  }
  return a;
}

TValue NewAgg(size_t count, bool isValue) {
  TValue r;
  r.Tag = TTag::Agg;
  auto* a = new TAggCell;
  a->Items.resize(count);
  a->IsValue = isValue;
  r.H = a;
  return r;
}

TValue NewSet() {
  TValue r;
  r.Tag = TTag::Set;
  r.H = new TSetCell;
  return r;
}

TSetCell* UniqueSet(TValue& v) {
  if (v.Tag != TTag::Set || !v.H) {
    v = NewSet();
    return static_cast<TSetCell*>(v.H);
  }
  auto* s = static_cast<TSetCell*>(v.H);
  if (s->Rc > 1) {
    auto* c = new TSetCell(*s);
    c->Rc = 1;
    --s->Rc;
    v.H = c;
    return c;
  }
  return s;
}

bool SetHas(const TValue& v, int64_t bit) {
  if (v.Tag != TTag::Set || !v.H || bit < 0 || bit > 255) return false;
  return (static_cast<TSetCell*>(v.H)->Bits[bit >> 6] >> (bit & 63)) & 1;
}

TValue SetFromBits(const uint64_t bits[4]) {
  TValue v = NewSet();
  for (int i = 0; i < 4; ++i)
    static_cast<TSetCell*>(v.H)->Bits[i] = bits[i];
  return v;
}

void SetToBits(const TValue& v, uint64_t bits[4]) {
  for (int i = 0; i < 4; ++i)
    bits[i] = (v.Tag == TTag::Set && v.H) ? static_cast<TSetCell*>(v.H)->Bits[i] : 0;
}

TValue NewObject(void* ptr, const TClassDef* cls, bool owned) {
  TValue r;
  r.Tag = TTag::Obj;
  r.H = nullptr;
  if (ptr) {
    auto* o = new TObjCell;
    o->Ptr = ptr;
    o->Cls = cls;
    o->Owned = owned;
    r.H = o;
  }
  return r;
}

void* ObjectPtr(const TValue& v) {
  if (v.Tag != TTag::Obj || !v.H) return nullptr;
  return static_cast<TObjCell*>(v.H)->Ptr;
}

const TClassDef* ObjectClass(const TValue& v) {
  if (v.Tag != TTag::Obj || !v.H) return nullptr;
  return static_cast<TObjCell*>(v.H)->Cls;
}

void TObjCell::Destroy() {
  if (Owned && Ptr) {
    for (const TClassDef* c = Cls; c; c = c->Parent)
      if (c->Destroy) {
        c->Destroy(Ptr);
        break;
      }
  }
  Ptr = nullptr;
}

TObjCell::~TObjCell() {
  Destroy();
}

} // namespace kv::script
