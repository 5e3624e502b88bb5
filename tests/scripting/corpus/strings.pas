program Strings;
uses SysUtils, Classes;
var
  s, t: string;
  i, n: Integer;
  c: Char;
begin
  s := 'Hello';
  t := s;
  t[1] := 'J';
  WriteLn(s, ' ', t);
  s := s + ', ' + 'World' + '!';
  WriteLn(s, ' ', Length(s));
  WriteLn(Copy(s, 1, 5), '|', Copy(s, 8, 100), '|', Copy(s, 50, 2), '|', Copy(s, 0, 3));
  WriteLn(Pos('World', s), ' ', Pos('xyz', s), ' ', Pos('l', s));
  Delete(s, 6, 7);
  WriteLn(s);
  Insert(' there', s, 6);
  WriteLn(s);
  WriteLn(UpperCase(s), ' ', LowerCase(s));
  WriteLn('[', Trim('  pad  '), ']');
  WriteLn(IntToStr(-123), ' ', StrToInt('456') + 1, ' ', StrToIntDef('q1', 99), ' ', StrToIntDef('12', 0));
  WriteLn(IntToHex(255, 2), ' ', IntToHex(4096, 8), ' ', IntToHex(10, 1));
  WriteLn(Format('%d|%5d|%-5d|%x|%.4x|%s|%-6s|%6s|', [42, 7, 7, 255, 255, 'ab', 'cd', 'ef']));
  WriteLn(Format('%3d%%', [50]));
  n := 0;
  for i := 1 to Length(s) do
    if s[i] = 'e' then Inc(n);
  WriteLn('e count ', n);
  t := '';
  for c := 'a' to 'f' do t := t + c;
  WriteLn(t);
  t := '';
  for i := Length(s) downto 1 do t := t + s[i];
  WriteLn(t);
  SetLength(t, 3);
  WriteLn(t, ' ', Length(t));
  WriteLn('abc' < 'abd', ' ', 'abc' = 'abc', ' ', 'b' > 'abc', ' ', 'abc' <> 'ABC');
  s := 'x';
  s := s + s;
  s := s + s;
  WriteLn(s, ' ', StringOfChar('-', 5));
  c := s[1];
  WriteLn(c + 'y', ' ', c = 'x');
end.
