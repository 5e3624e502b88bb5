program Control;
uses SysUtils, Classes;
var
  i, j, n, total: Integer;
  ch: Char;

function Classify(x: Integer): string;
begin
  case x of
    0: Result := 'zero';
    1, 2, 3: Result := 'small';
    4..9: Result := 'medium';
    -5..-1: Result := 'negative';
  else
    Result := 'large';
  end;
end;

begin
  for i := -6 to 11 do Write(Classify(i), ' ');
  WriteLn;
  total := 0;
  for i := 10 downto 1 do total := total + i;
  WriteLn('sum ', total);
  i := 0;
  while i < 100 do
  begin
    Inc(i, 7);
    if i mod 3 = 0 then continue;
    if i > 50 then break;
    Write(i, ' ');
  end;
  WriteLn;
  n := 0;
  repeat
    Inc(n);
  until n * n > 200;
  WriteLn('repeat ', n);
  for i := 1 to 4 do
  begin
    for j := 1 to 4 do
    begin
      if j > i then break;
      Write(i * j, ' ');
    end;
  end;
  WriteLn;
  for ch := 'a' to 'e' do
    case ch of
      'a', 'e': Write('vowel ');
      'b'..'d': Write('cons ');
    end;
  WriteLn;
  if i > 100 then WriteLn('big') else if i > 3 then WriteLn('mid') else WriteLn('small');
  i := 5;
  while True do
  begin
    Dec(i);
    if i = 0 then break;
  end;
  WriteLn('done ', i);
  for i := 5 to 1 do WriteLn('never');
end.
