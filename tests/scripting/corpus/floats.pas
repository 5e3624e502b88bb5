program Floats;
uses SysUtils, Classes;
var
  x, y: Double;
  i: Integer;
begin
  x := 7;
  y := 2;
  WriteLn(FloatToStr(x / y), ' ', FloatToStr(x * y), ' ', FloatToStr(x - y * 4));
  WriteLn(Round(x / y), ' ', Round(5.5), ' ', Round(6.5), ' ', Round(-1.5), ' ', Trunc(-3.9), ' ', Trunc(3.9));
  WriteLn(FloatToStr(Sqrt(16)), ' ', FloatToStr(Abs(-2.25)), ' ', FloatToStr(Sqr(1.5)));
  x := 1 / 3;
  WriteLn(FloatToStr(x));
  WriteLn(x:0:4, ' ', y:8:2, ' ', (x * 3):1:1);
  WriteLn(x);
  y := 1234567.891;
  WriteLn(Format('%.3f|%10.2f|%n|%.1n|%g', [x, y, y, y, 0.5]));
  i := 3;
  x := i + 0.5;
  WriteLn(FloatToStr(x), ' ', x > i, ' ', i < x, ' ', x = 3.5);
  x := 0.1 + 0.2;
  WriteLn(FloatToStr(x), ' ', FloatToStr(1e20), ' ', FloatToStr(1.5e-7), ' ', FloatToStr(100));
  x := -0.000125;
  WriteLn(FloatToStr(x));
  WriteLn(FloatToStr(Int(7.8)), ' ', FloatToStr(Frac(7.75)));
end.
