program Algorithms;
uses SysUtils, Classes;
const
  N = 200;
var
  data: array of Integer;
  sieve: array[2..N] of Boolean;
  i, j, count, seed: Integer;
  s: string;

procedure QuickSort(var a: array of Integer; lo, hi: Integer);
var
  i, j, pivot, t: Integer;
begin
  i := lo;
  j := hi;
  pivot := a[(lo + hi) div 2];
  repeat
    while a[i] < pivot do Inc(i);
    while a[j] > pivot do Dec(j);
    if i <= j then
    begin
      t := a[i];
      a[i] := a[j];
      a[j] := t;
      Inc(i);
      Dec(j);
    end;
  until i > j;
  if lo < j then QuickSort(a, lo, j);
  if i < hi then QuickSort(a, i, hi);
end;

function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;

begin
  seed := 12345;
  SetLength(data, 50);
  for i := 0 to High(data) do
  begin
    seed := (seed * 1103 + 12345) mod 65536;
    data[i] := seed mod 1000;
  end;
  QuickSort(data, 0, High(data));
  for i := 0 to 9 do Write(data[i], ' ');
  WriteLn;
  for i := 1 to High(data) do
    if data[i - 1] > data[i] then WriteLn('unsorted at ', i);
  for i := 2 to N do sieve[i] := True;
  for i := 2 to N do
    if sieve[i] then
    begin
      j := i * i;
      while j <= N do
      begin
        sieve[j] := False;
        Inc(j, i);
      end;
    end;
  count := 0;
  for i := 2 to N do
    if sieve[i] then Inc(count);
  WriteLn('primes ', count);
  WriteLn('fib ', Fib(20));
  s := '';
  for i := 1 to 20 do s := s + IntToStr(i mod 10);
  WriteLn(s, ' ', Length(s));
end.
