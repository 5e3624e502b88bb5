program Misc;
uses SysUtils, Classes;
type
  TItem = record
    Name: string;
    Scores: array[0..2] of Integer;
  end;
  TItems = array of TItem;
  TLetters = set of Char;
var
  items: TItems;
  one: TItem;
  names: array of string;
  vowels: TLetters;
  sl: TStringList;
  i, calls: Integer;
  s: string;
  big: Int64;
  ch: Char;

function MakeItem(const n: string; base: Integer): TItem;
var
  k: Integer;
begin
  Result.Name := n;
  for k := 0 to 2 do
    Result.Scores[k] := base + k;
end;

function Total(const it: TItem): Integer;
begin
  Result := it.Scores[0] + it.Scores[1] + it.Scores[2];
end;

function Greet(const who: string; times: Integer = 2; sep: string = '!'): string;
var
  k: Integer;
begin
  Result := '';
  for k := 1 to times do
    Result := Result + 'hi ' + who + sep;
end;

function Touch(v: Boolean): Boolean;
begin
  Inc(calls);
  Result := v;
end;

procedure Mutate(s: string);
begin
  s[1] := 'Z';
  WriteLn('inside ', s);
end;

procedure Outer;
var
  acc: Integer;
  procedure AddTo(var target: Integer; amount: Integer);
  begin
    target := target + amount;
  end;
begin
  acc := 1;
  AddTo(acc, 41);
  WriteLn('acc ', acc);
end;

function FindFirst(const list: array of Integer; wanted: Integer): Integer;
var
  k: Integer;
begin
  Result := -1;
  for k := 0 to High(list) do
  begin
    try
      if list[k] = wanted then
      begin
        Result := k;
        Exit;
      end;
    finally
      Inc(calls);
    end;
  end;
end;

begin
  SetLength(items, 3);
  for i := 0 to 2 do
    items[i] := MakeItem('item' + IntToStr(i), i * 10);
  one := items[1];
  one.Scores[0] := 999;
  items[2].Scores[2] := -1;
  WriteLn(Total(items[0]), ' ', Total(items[1]), ' ', Total(items[2]), ' ', one.Scores[0], ' ', items[1].Scores[0]);
  SetLength(names, 2);
  names[0] := 'a';
  names[1] := 'b';
  SetLength(names, 4);
  names[3] := 'd';
  WriteLn(names[0], names[1], '[', names[2], ']', names[3], ' ', Length(names));
  vowels := ['a', 'e', 'i', 'o', 'u'];
  s := 'programming language';
  i := 0;
  for i := 1 to Length(s) do
    if s[i] in vowels then Write(UpperCase(s[i])) else Write(s[i]);
  WriteLn;
  WriteLn(Greet('bob'), ' ', Greet('amy', 1), ' ', Greet('x', 3, '.'));
  calls := 0;
  if Touch(False) and Touch(True) then WriteLn('no');
  if Touch(True) or Touch(False) then WriteLn('short-circuit calls ', calls);
  s := 'abc';
  Mutate(s);
  WriteLn('outside ', s);
  Outer;
  calls := 0;
  WriteLn(FindFirst([5, 7, 9, 11], 9), ' ', calls);
  big := 1;
  for i := 1 to 40 do big := big * 2;
  WriteLn(big, ' ', big div 1000000, ' ', -big);
  WriteLn('[', 42:6, '][', 'ab':4, '][', -7:3, ']');
  sl := TStringList.Create;
  with sl do
  begin
    Add('x');
    Add('y');
    WriteLn(Count, ' ', Strings[1]);
  end;
  sl.Free;
  ch := 'a';
  repeat
    Write(ch);
    ch := Succ(ch);
    if ch = 'c' then continue;
  until ch > 'e';
  WriteLn;
  case 'k' of
    'a'..'j': WriteLn('first half');
    'k'..'z': WriteLn('second half');
  end;
end.
