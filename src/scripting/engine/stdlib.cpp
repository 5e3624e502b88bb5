#include "scripting/engine/stdlib.h"

#include "scripting/engine/exceptionobj.h"
#include "scripting/engine/textformat.h"
#include "scripting/engine/types.h"
#include "scripting/engine/vm.h"
#include "shell/strtoint.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

namespace kv::script {

namespace {

std::mt19937_64& Rng() {
  static thread_local std::mt19937_64 rng(5489u);
  return rng;
}

bool ParseInt(const std::string& text, int64_t& out) {
  return ParseInteger(text, out) == TIntParse::Ok;
}

std::string Trimmed(const std::string& s, bool left, bool right) {
  size_t a = 0, b = s.size();
  if (left)
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ')
      ++a;
  if (right)
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ')
      --b;
  return s.substr(a, b - a);
}

struct TStringListObj {
  std::vector<std::string> Items;
  bool Sorted = false;
};

TStringListObj& List(THostCall& c) {
  return *static_cast<TStringListObj*>(c.Self);
}

void CheckIndex(const TStringListObj& l, int64_t i) {
  if (i < 0 || i >= static_cast<int64_t>(l.Items.size()))
    throw TScriptError("List index out of bounds (" + std::to_string(i) + ")");
}

void RegisterClasses(TScriptLibrary& lib) {
  TClassDef& obj = lib.AddClass("TObject", "");
  obj.AddConstructor("constructor Create", [](THostCall& c) {
    // A bare TObject owns nothing; the script still gets a distinct object.
    c.Result = NewObject(new int(0), c.Class, true);
  });
  obj.Destroy = [](void* p) { delete static_cast<int*>(p); };
  obj.AddMethod("procedure Free", [](THostCall& c) {
    if (c.SelfValue.Tag == TTag::Obj && c.SelfValue.H)
      static_cast<TObjCell*>(c.SelfValue.H)->Destroy();
  });
  obj.Methods.back()->AllowNilSelf = true;
  obj.AddMethod("function ClassName: string", [](THostCall& c) { c.SetStr(c.Class->Name); });

  TClassDef& exc = lib.AddClass("Exception", "TObject");
  exc.Destroy = [](void* p) { delete static_cast<TExceptionObject*>(p); };
  exc.AddConstructor("constructor Create(const Msg: string)", [](THostCall& c) {
    c.Result = NewObject(new TExceptionObject{c.Str(0)}, c.Class, true);
  });
  exc.AddProperty(
      "Message", "string",
      [](THostCall& c) { c.SetStr(static_cast<TExceptionObject*>(c.Self)->Message); },
      [](THostCall& c) { static_cast<TExceptionObject*>(c.Self)->Message = c.Str(0); });
  for (const char* name : {"EConvertError", "EMathError", "ERangeError", "EListError"})
    lib.AddClass(name, "Exception");
  lib.AddClass("EDivByZero", "EMathError");

  TClassDef& strs = lib.AddClass("TStrings", "TObject");
  strs.AddMethod("function Add(const S: string): Integer", [](THostCall& c) {
    auto& l = List(c);
    if (l.Sorted) {
      auto it = std::lower_bound(l.Items.begin(), l.Items.end(), c.Str(0));
      c.SetInt(it - l.Items.begin());
      l.Items.insert(it, c.Str(0));
      return;
    }
    l.Items.push_back(c.Str(0));
    c.SetInt(static_cast<int64_t>(l.Items.size()) - 1);
  });
  strs.AddMethod("procedure Insert(Index: Integer; const S: string)", [](THostCall& c) {
    auto& l = List(c);
    int64_t i = c.Int(0);
    if (i < 0 || i > static_cast<int64_t>(l.Items.size()))
      throw TScriptError("List index out of bounds (" + std::to_string(i) + ")", "EListError");
    l.Items.insert(l.Items.begin() + i, c.Str(1));
  });
  strs.AddMethod("procedure Delete(Index: Integer)", [](THostCall& c) {
    auto& l = List(c);
    CheckIndex(l, c.Int(0));
    l.Items.erase(l.Items.begin() + c.Int(0));
  });
  strs.AddMethod("procedure Clear", [](THostCall& c) { List(c).Items.clear(); });
  strs.AddMethod("function IndexOf(const S: string): Integer", [](THostCall& c) {
    auto& l = List(c);
    for (size_t i = 0; i < l.Items.size(); ++i)
      if (SameText(l.Items[i], c.Str(0))) {
        c.SetInt(static_cast<int64_t>(i));
        return;
      }
    c.SetInt(-1);
  });
  strs.AddMethod("procedure Exchange(Index1, Index2: Integer)", [](THostCall& c) {
    auto& l = List(c);
    CheckIndex(l, c.Int(0));
    CheckIndex(l, c.Int(1));
    std::swap(l.Items[static_cast<size_t>(c.Int(0))], l.Items[static_cast<size_t>(c.Int(1))]);
  });
  strs.AddProperty(
      "Count", "Integer",
      [](THostCall& c) { c.SetInt(static_cast<int64_t>(List(c).Items.size())); }, nullptr);
  strs.AddProperty(
      "Text", "string",
      [](THostCall& c) {
        std::string t;
        for (auto& s : List(c).Items)
          t += s + "\n";
        c.SetStr(t);
      },
      [](THostCall& c) {
        auto& l = List(c);
        l.Items.clear();
        const std::string& t = c.Str(0);
        size_t start = 0;
        while (start < t.size()) {
          size_t nl = t.find('\n', start);
          std::string line =
              t.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
          if (!line.empty() && line.back() == '\r') line.pop_back();
          l.Items.push_back(line);
          if (nl == std::string::npos) break;
          start = nl + 1;
        }
      });
  strs.AddProperty(
      "CommaText", "string",
      [](THostCall& c) {
        std::string t;
        for (auto& s : List(c).Items) {
          if (!t.empty()) t += ',';
          t += s;
        }
        c.SetStr(t);
      },
      nullptr);
  strs.AddIndexedProperty(
      "Strings", "Integer", "string",
      [](THostCall& c) {
        auto& l = List(c);
        CheckIndex(l, c.Int(0));
        c.SetStr(l.Items[static_cast<size_t>(c.Int(0))]);
      },
      [](THostCall& c) {
        auto& l = List(c);
        CheckIndex(l, c.Int(0));
        l.Items[static_cast<size_t>(c.Int(0))] = c.Str(1);
      },
      true);

  TClassDef& sl = lib.AddClass("TStringList", "TStrings");
  sl.Destroy = [](void* p) { delete static_cast<TStringListObj*>(p); };
  sl.AddConstructor("constructor Create",
                    [](THostCall& c) { c.Result = NewObject(new TStringListObj, c.Class, true); });
  sl.AddMethod("procedure Sort", [](THostCall& c) {
    auto& l = List(c).Items;
    std::stable_sort(l.begin(), l.end(), [](const std::string& a, const std::string& b) {
      return Lower(a) < Lower(b);
    });
  });
  sl.AddProperty(
      "Sorted", "Boolean", [](THostCall& c) { c.SetBool(List(c).Sorted); },
      [](THostCall& c) {
        auto& l = List(c);
        l.Sorted = c.Bool(0);
        if (l.Sorted) std::sort(l.Items.begin(), l.Items.end());
      });
}

void RegisterStrings(TScriptLibrary& lib) {
  lib.AddFunction("function IntToStr(Value: Int64): string",
                  [](THostCall& c) { c.SetStr(std::to_string(c.Int(0))); });
  lib.AddFunction("function StrToInt(const S: string): Int64", [](THostCall& c) {
    int64_t v;
    if (!ParseInt(c.Str(0), v))
      throw TScriptError("\"" + c.Str(0) + "\" is an invalid integer", "EConvertError");
    c.SetInt(v);
  });
  lib.AddFunction("function StrToIntDef(const S: string; Default: Int64): Int64", [](THostCall& c) {
    int64_t v;
    c.SetInt(ParseInt(c.Str(0), v) ? v : c.Int(1));
  });
  lib.AddFunction("function IntToHex(Value: Int64; Digits: Integer): string", [](THostCall& c) {
    c.SetStr(IntToHexText(c.Int(0), static_cast<int>(c.Int(1))));
  });
  lib.AddFunction("function FloatToStr(Value: Double): string",
                  [](THostCall& c) { c.SetStr(FloatToText(c.Float(0))); });
  lib.AddFunction("function StrToFloat(const S: string): Double", [](THostCall& c) {
    std::string s = Trimmed(c.Str(0), true, true);
    char* end = nullptr;
    double v = s.empty() ? 0 : std::strtod(s.c_str(), &end);
    if (s.empty() || *end)
      throw TScriptError("\"" + c.Str(0) + "\" is an invalid float", "EConvertError");
    c.SetFloat(v);
  });
  lib.AddFunction("function Format(const Fmt: string; const Args: array of const): string",
                  [](THostCall& c) {
                    std::vector<TValue> args;
                    if (auto* a = static_cast<TAggCell*>(c.Arg(1).H)) args = a->Items;
                    c.SetStr(FormatText(c.Str(0), args));
                  });
  lib.AddFunction("function Copy(const S: string; Index, Count: Int64): string", [](THostCall& c) {
    const std::string& s = c.Str(0);
    int64_t i = std::max<int64_t>(c.Int(1), 1);
    int64_t n = c.Int(2);
    int64_t len = static_cast<int64_t>(s.size());
    if (i > len || n <= 0) {
      c.SetStr("");
      return;
    }
    n = std::min(n, len - i + 1);
    c.SetStr(s.substr(static_cast<size_t>(i - 1), static_cast<size_t>(n)));
  });
  lib.AddFunction("function Pos(const SubStr, S: string): Integer", [](THostCall& c) {
    if (c.Str(0).empty()) {
      c.SetInt(0);
      return;
    }
    size_t p = c.Str(1).find(c.Str(0));
    c.SetInt(p == std::string::npos ? 0 : static_cast<int64_t>(p) + 1);
  });
  lib.AddFunction("procedure Delete(var S: string; Index, Count: Int64)", [](THostCall& c) {
    TValue& v = c.Arg(0);
    int64_t len = static_cast<int64_t>(v.AsString().size());
    int64_t i = c.Int(1), n = c.Int(2);
    if (i < 1 || i > len || n <= 0) return;
    n = std::min(n, len - i + 1);
    v.MutableString().erase(static_cast<size_t>(i - 1), static_cast<size_t>(n));
  });
  lib.AddFunction("procedure Insert(const Source: string; var S: string; Index: Int64)",
                  [](THostCall& c) {
                    std::string src = c.Str(0);
                    TValue& v = c.Arg(1);
                    int64_t len = static_cast<int64_t>(v.AsString().size());
                    int64_t i = std::clamp<int64_t>(c.Int(2), 1, len + 1);
                    if (src.empty()) return;
                    if (static_cast<size_t>(len) + src.size() > TVm::kMaxStringLength)
                      throw TScriptError("Out of memory");
                    v.MutableString().insert(static_cast<size_t>(i - 1), src);
                  });
  lib.AddFunction("function UpperCase(const S: string): string", [](THostCall& c) {
    std::string s = c.Str(0);
    for (auto& ch : s)
      if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    c.SetStr(s);
  });
  lib.AddFunction("function LowerCase(const S: string): string", [](THostCall& c) {
    std::string s = c.Str(0);
    for (auto& ch : s)
      if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    c.SetStr(s);
  });
  lib.AddFunction("function Trim(const S: string): string",
                  [](THostCall& c) { c.SetStr(Trimmed(c.Str(0), true, true)); });
  lib.AddFunction("function TrimLeft(const S: string): string",
                  [](THostCall& c) { c.SetStr(Trimmed(c.Str(0), true, false)); });
  lib.AddFunction("function TrimRight(const S: string): string",
                  [](THostCall& c) { c.SetStr(Trimmed(c.Str(0), false, true)); });
  lib.AddFunction("function StringOfChar(C: Char; Count: Int64): string", [](THostCall& c) {
    int64_t n = c.Int(1);
    if (n > static_cast<int64_t>(TVm::kMaxStringLength)) throw TScriptError("Out of memory");
    c.SetStr(
        std::string(static_cast<size_t>(std::max<int64_t>(n, 0)), static_cast<char>(c.Int(0))));
  });
  lib.AddFunction("function CompareStr(const S1, S2: string): Integer", [](THostCall& c) {
    int r = c.Str(0).compare(c.Str(1));
    c.SetInt(r < 0 ? -1 : r > 0 ? 1 : 0);
  });
  lib.AddFunction("function CompareText(const S1, S2: string): Integer", [](THostCall& c) {
    int r = Lower(c.Str(0)).compare(Lower(c.Str(1)));
    c.SetInt(r < 0 ? -1 : r > 0 ? 1 : 0);
  });
  lib.AddFunction("function SameText(const S1, S2: string): Boolean",
                  [](THostCall& c) { c.SetBool(SameText(c.Str(0), c.Str(1))); });
  lib.AddFunction("function BoolToStr(B: Boolean; UseBoolStrs: Boolean = False): string",
                  [](THostCall& c) {
                    c.SetStr(c.Bool(1) ? (c.Bool(0) ? "True" : "False") : (c.Bool(0) ? "-1" : "0"));
                  });
}

void RegisterMath(TScriptLibrary& lib) {
  auto checked = [](double v) {
    if (std::isnan(v) || std::isinf(v) || v >= 9.2233720368547758e18 || v < -9.2233720368547758e18)
      throw TScriptError("Invalid floating point operation");
    return v;
  };
  lib.AddFunction("function Round(X: Double): Int64", [checked](THostCall& c) {
    c.SetInt(static_cast<int64_t>(std::nearbyint(checked(c.Float(0)))));
  });
  lib.AddFunction("function Trunc(X: Double): Int64", [checked](THostCall& c) {
    c.SetInt(static_cast<int64_t>(std::trunc(checked(c.Float(0)))));
  });
  lib.AddFunction("function Int(X: Double): Double",
                  [](THostCall& c) { c.SetFloat(std::trunc(c.Float(0))); });
  lib.AddFunction("function Frac(X: Double): Double",
                  [](THostCall& c) { c.SetFloat(c.Float(0) - std::trunc(c.Float(0))); });
  lib.AddFunction("function Sqrt(X: Double): Double", [](THostCall& c) {
    if (c.Float(0) < 0) throw TScriptError("Invalid floating point operation");
    c.SetFloat(std::sqrt(c.Float(0)));
  });
  lib.AddFunction("function Sin(X: Double): Double",
                  [](THostCall& c) { c.SetFloat(std::sin(c.Float(0))); });
  lib.AddFunction("function Cos(X: Double): Double",
                  [](THostCall& c) { c.SetFloat(std::cos(c.Float(0))); });
  lib.AddFunction("function Exp(X: Double): Double",
                  [](THostCall& c) { c.SetFloat(std::exp(c.Float(0))); });
  lib.AddFunction("function Ln(X: Double): Double", [](THostCall& c) {
    if (c.Float(0) <= 0) throw TScriptError("Invalid floating point operation");
    c.SetFloat(std::log(c.Float(0)));
  });
  lib.AddFunction("function Random(Range: Int64): Int64", [](THostCall& c) {
    int64_t r = c.Int(0);
    c.SetInt(r <= 0 ? 0 : static_cast<int64_t>(Rng()() % static_cast<uint64_t>(r)));
  });
  lib.AddFunction("function Random: Double", [](THostCall& c) {
    c.SetFloat(std::uniform_real_distribution<double>(0.0, 1.0)(Rng()));
  });
  lib.AddFunction("procedure Randomize", [](THostCall&) {
    Rng().seed(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  });
  lib.AddFunction("procedure Sleep(Milliseconds: Int64)", [](THostCall& c) {
    // Sliced so that a stop request ends the wait.
    auto until = std::chrono::steady_clock::now() +
                 std::chrono::milliseconds(std::max<int64_t>(c.Int(0), 0));
    while (std::chrono::steady_clock::now() < until && !c.Vm.StopRequested())
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
          std::chrono::milliseconds(10), until - std::chrono::steady_clock::now()));
  });
}

} // namespace

void RegisterStandardLibrary(TScriptLibrary& lib) {
  RegisterClasses(lib);
  RegisterStrings(lib);
  RegisterMath(lib);
}

} // namespace kv::script
