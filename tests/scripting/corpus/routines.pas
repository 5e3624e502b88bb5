program Routines;
uses SysUtils, Classes;
var
  g: Integer;
  a, b: Integer;
  s: string;

procedure Later(n: Integer); forward;

function Factorial(n: Integer): Int64;
begin
  if n <= 1 then
    Factorial := 1
  else
    Factorial := n * Factorial(n - 1);
end;

procedure Swap(var x, y: Integer);
var
  t: Integer;
begin
  t := x;
  x := y;
  y := t;
end;

procedure Append(var s: string; const suffix: string);
begin
  s := s + suffix;
end;

function Counter(limit: Integer): Integer;
var
  count: Integer;

  procedure Bump(step: Integer);
  begin
    count := count + step;
    g := g + 1;
  end;

  function Twice(x: Integer): Integer;
    function Inner: Integer;
    begin
      Inner := x * 2 + count;
    end;
  begin
    Twice := Inner;
  end;

begin
  count := 0;
  while count < limit do
    Bump(3);
  Result := Twice(count);
end;

function FirstOver(limit: Integer): Integer;
var
  i: Integer;
begin
  Result := -1;
  for i := 1 to 100 do
    if i * i > limit then
    begin
      Result := i;
      Exit;
    end;
end;

function Early(x: Integer): string;
begin
  if x < 0 then Exit('negative');
  Result := 'non-negative';
end;

procedure Later(n: Integer);
begin
  if n > 0 then
  begin
    Write(n, ' ');
    Later(n - 1);
  end
  else
    WriteLn('liftoff');
end;

function Gcd(a, b: Integer): Integer;
begin
  if b = 0 then Result := a else Result := Gcd(b, a mod b);
end;

procedure NoArgs;
begin
  WriteLn('no args');
end;

begin
  WriteLn(Factorial(15));
  a := 1;
  b := 2;
  Swap(a, b);
  WriteLn(a, ' ', b);
  s := 'abc';
  Append(s, 'def');
  WriteLn(s);
  g := 0;
  WriteLn(Counter(10), ' ', g);
  WriteLn(FirstOver(50), ' ', Early(-1), ' ', Early(1));
  Later(5);
  WriteLn(Gcd(84, 36));
  NoArgs;
end.
