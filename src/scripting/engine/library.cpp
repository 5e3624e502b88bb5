#include "scripting/engine/library.h"

#include "scripting/engine/parser.h"
#include "scripting/engine/types.h"

namespace kv::script {

namespace {
// Declarations are the host's own code: a bad one is a programming error.
TNodePtr ParseHeading(const std::string& text) {
  try {
    return TPasParser(text).ParseHeadingOnly();
  } catch (const TSourceError& e) {
    throw std::invalid_argument("bad declaration '" + text + "': " + e.Text);
  }
}
TNodePtr ParseType(const std::string& text) {
  try {
    return TPasParser(text).ParseTypeOnly();
  } catch (const TSourceError& e) {
    throw std::invalid_argument("bad type '" + text + "': " + e.Text);
  }
}
} // namespace

TClassDef& TClassDef::AddMethod(const std::string& declaration, THostFn fn) {
  auto m = std::make_unique<THostFunction>();
  m->Heading = ParseHeading(declaration);
  m->Name = m->Heading->Name;
  m->Fn = std::move(fn);
  Methods.push_back(std::move(m));
  return *this;
}

TClassDef& TClassDef::AddConstructor(const std::string& declaration, THostFn fn) {
  AddMethod(declaration, std::move(fn));
  Methods.back()->Heading->Flags |= nfConstructor;
  return *this;
}

TClassDef& TClassDef::AddProperty(const std::string& name, const std::string& type, THostFn get,
                                  THostFn set) {
  auto p = std::make_unique<THostProperty>();
  p->Name = name;
  p->Type = ParseType(type);
  p->Get = std::move(get);
  p->Set = std::move(set);
  Properties.push_back(std::move(p));
  return *this;
}

TClassDef& TClassDef::AddIndexedProperty(const std::string& name, const std::string& indexType,
                                         const std::string& type, THostFn get, THostFn set,
                                         bool isDefault) {
  AddProperty(name, type, std::move(get), std::move(set));
  Properties.back()->IndexType = ParseType(indexType);
  if (isDefault) DefaultProperty = name;
  return *this;
}

const THostFunction* TClassDef::FindMethod(const std::string& name, size_t) const {
  for (const TClassDef* c = this; c; c = c->Parent)
    for (auto& m : c->Methods)
      if (SameText(m->Name, name)) return m.get();
  return nullptr;
}

std::vector<const THostFunction*> TClassDef::FindMethods(const std::string& name) const {
  std::vector<const THostFunction*> out;
  for (const TClassDef* c = this; c; c = c->Parent) {
    for (auto& m : c->Methods)
      if (SameText(m->Name, name)) out.push_back(m.get());
    if (!out.empty()) break; // a descendant's declaration hides the ancestor's
  }
  return out;
}

const THostProperty* TClassDef::FindDefaultProperty() const {
  for (const TClassDef* c = this; c; c = c->Parent)
    if (!c->DefaultProperty.empty()) return c->FindProperty(c->DefaultProperty);
  return nullptr;
}

const THostProperty* TClassDef::FindProperty(const std::string& name) const {
  for (const TClassDef* c = this; c; c = c->Parent)
    for (auto& p : c->Properties)
      if (SameText(p->Name, name)) return p.get();
  return nullptr;
}

bool TClassDef::InheritsFrom(const TClassDef* other) const {
  for (const TClassDef* c = this; c; c = c->Parent)
    if (c == other) return true;
  return false;
}

void TScriptLibrary::AddConstant(const std::string& name, const std::string& type,
                                 const TValue& value) {
  auto e = std::make_unique<TEntry>();
  e->Kind = TKind::Constant;
  e->Name = name;
  e->Node = ParseType(type);
  e->Value = value;
  List.push_back(std::move(e));
}

void TScriptLibrary::AddType(const std::string& name, const std::string& typeText) {
  auto e = std::make_unique<TEntry>();
  e->Kind = TKind::Type;
  e->Name = name;
  e->Node = ParseType(typeText);
  List.push_back(std::move(e));
}

TClassDef& TScriptLibrary::AddClass(const std::string& name, const std::string& parentName) {
  auto c = std::make_unique<TClassDef>();
  c->Name = name;
  if (!parentName.empty()) {
    c->Parent = FindClass(parentName);
    if (!c->Parent) throw std::invalid_argument("unknown ancestor class " + parentName);
  }
  auto e = std::make_unique<TEntry>();
  e->Kind = TKind::Class;
  e->Name = name;
  e->Class = c.get();
  List.push_back(std::move(e));
  Classes.push_back(std::move(c));
  return *Classes.back();
}

void TScriptLibrary::AddFunction(const std::string& declaration, THostFn fn) {
  auto f = std::make_unique<THostFunction>();
  f->Heading = ParseHeading(declaration);
  f->Name = f->Heading->Name;
  f->Fn = std::move(fn);
  auto e = std::make_unique<TEntry>();
  e->Kind = TKind::Function;
  e->Name = f->Name;
  e->Function = f.get();
  List.push_back(std::move(e));
  Functions.push_back(std::move(f));
}

void TScriptLibrary::AddVariable(const std::string& name, const std::string& type) {
  auto e = std::make_unique<TEntry>();
  e->Kind = TKind::Variable;
  e->Name = name;
  e->Node = ParseType(type);
  List.push_back(std::move(e));
}

TClassDef* TScriptLibrary::FindClass(const std::string& name) const {
  for (auto& c : Classes)
    if (SameText(c->Name, name)) return c.get();
  return nullptr;
}

} // namespace kv::script
