program TypeDemo;
uses SysUtils, Classes;
type
  TColor = (clRed, clGreen, clBlue, clYellow);
  TColors = set of TColor;
  TBits = set of Byte;
  TPoint = record
    X, Y: Integer;
  end;
  TRect = record
    TopLeft, BottomRight: TPoint;
    Name: string;
  end;
  TGrid = array[1..3, 1..3] of Integer;
  TCounts = array[TColor] of Integer;
  TIntArray = array of Integer;
var
  c: TColor;
  cs: TColors;
  bits, other: TBits;
  p, q: TPoint;
  r: TRect;
  g: TGrid;
  counts: TCounts;
  d, e: TIntArray;
  i, j: Integer;
  pts: array of TPoint;

function SumArray(const arr: TIntArray): Integer;
var
  k: Integer;
begin
  Result := 0;
  for k := 0 to High(arr) do
    Result := Result + arr[k];
end;

procedure Shift(var pt: TPoint; dx: Integer);
begin
  pt.X := pt.X + dx;
end;

begin
  c := clBlue;
  WriteLn(c, ' ', Ord(c), ' ', Succ(clRed), ' ', Pred(clYellow), ' ', Low(TColor), ' ', High(TColor));
  cs := [clRed, clBlue];
  Include(cs, clYellow);
  Exclude(cs, clRed);
  for c := Low(TColor) to High(TColor) do
    Write(c in cs, ' ');
  WriteLn;
  bits := [1, 3, 5..8];
  other := [5, 6, 20];
  WriteLn(5 in bits, ' ', 4 in bits, ' ', 7 in (bits * other), ' ', 20 in (bits + other), ' ', 5 in (bits - other));
  WriteLn(bits = [1, 3, 5, 6, 7, 8], ' ', [1, 3] <= bits, ' ', bits >= [2], ' ', bits <> other);
  p.X := 1;
  p.Y := 2;
  q := p;
  q.X := 10;
  WriteLn(p.X, ' ', q.X, ' ', q.Y);
  Shift(p, 5);
  WriteLn(p.X);
  r.TopLeft := p;
  r.BottomRight.X := 100;
  r.BottomRight.Y := 200;
  r.Name := 'box';
  with r.BottomRight do
  begin
    X := X + 1;
    Y := Y * 2;
  end;
  with r do
    WriteLn(Name, ' ', TopLeft.X, ' ', BottomRight.X, ' ', BottomRight.Y);
  for i := 1 to 3 do
    for j := 1 to 3 do
      g[i, j] := i * 10 + j;
  WriteLn(g[2, 3], ' ', g[3][1], ' ', Length(g), ' ', Low(g), ' ', High(g));
  for c := clRed to clYellow do
    counts[c] := Ord(c) * 2;
  WriteLn(counts[clGreen] + counts[clYellow]);
  SetLength(d, 5);
  for i := 0 to 4 do
    d[i] := i * i;
  e := d;
  e[0] := 100;
  WriteLn(d[0], ' ', SumArray(d), ' ', Length(e), ' ', High(d), ' ', Low(d));
  SetLength(d, 2);
  WriteLn(Length(d), ' ', SumArray(d));
  SetLength(pts, 2);
  pts[1].X := 7;
  pts[1].Y := 8;
  WriteLn(pts[0].X, ' ', pts[1].X + pts[1].Y);
  WriteLn(Ord(True), ' ', Integer(clGreen), ' ', TColor(2), ' ', Boolean(0));
end.
