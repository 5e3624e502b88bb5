program Basics;
uses SysUtils, Classes;
const
  Base = 10;
  Twice = Base * 2;
  Greeting = 'hi' + ' there';
  BigConst: Int64 = 5000000000;
var
  i, j: Integer;
  b: Byte;
  w: Word;
  si: ShortInt;
  sm: SmallInt;
  c: Cardinal;
  big: Int64;
  ok, flag: Boolean;
  ch: Char;
begin
  i := 17;
  j := 5;
  WriteLn(i + j, ' ', i - j, ' ', i * j, ' ', i div j, ' ', i mod j, ' ', -i div j, ' ', -i mod j);
  WriteLn(i and j, ' ', i or j, ' ', i xor j, ' ', i shl 3, ' ', i shr 2, ' ', not i);
  WriteLn(Twice, ' ', Greeting, ' ', BigConst, ' ', Base);
  b := 250;
  b := b + 10;
  WriteLn('byte wraps: ', b);
  w := 65535;
  Inc(w);
  WriteLn('word wraps: ', w);
  si := 127;
  Inc(si);
  WriteLn('shortint wraps: ', si);
  sm := -32768;
  Dec(sm);
  WriteLn('smallint wraps: ', sm);
  c := 4000000000;
  WriteLn('cardinal: ', c, ' ', c div 3);
  big := Int64(2147483647) * 4;
  WriteLn('int64: ', big, ' ', big mod 1000);
  ok := (i > j) and not (j > i);
  flag := (i = 3) or (j = 5);
  WriteLn(ok, ' ', flag, ' ', ok xor flag, ' ', not ok);
  ch := 'A';
  Inc(ch, 2);
  WriteLn(ch, ' ', Ord(ch), ' ', Chr(Ord(ch) + 1), ' ', Succ(ch), ' ', Pred(ch));
  WriteLn(High(Byte), ' ', Low(ShortInt), ' ', High(Word), ' ', High(Integer), ' ', Low(Integer));
  i := 7;
  Inc(i, 5);
  Dec(i);
  WriteLn(i, ' ', Odd(i), ' ', Odd(i + 1), ' ', Abs(-5), ' ', Sqr(9));
  WriteLn(Byte(300), ' ', ShortInt(200), ' ', Word(-1), ' ', Integer(Cardinal(4294967295)));
  WriteLn($FF, ' ', $10 + 1, ' ', #65#66, ' ', 'it''s');
  { brace comment } (* paren comment *) // line comment
  WriteLn(MaxInt);
end.
