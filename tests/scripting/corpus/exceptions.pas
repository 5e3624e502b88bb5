program Exceptions;
uses SysUtils, Classes;
var
  i, zero: Integer;
  log: string;

procedure Fail(const msg: string);
begin
  raise Exception.Create(msg);
end;

function Guarded(n: Integer): string;
begin
  Result := 'start';
  try
    if n = 0 then Exit;
    Result := Result + '-body';
  finally
    Result := Result + '-finally';
  end;
end;

procedure Nested;
begin
  try
    try
      Fail('inner');
    finally
      log := log + 'F1 ';
    end;
  except
    on E: Exception do
    begin
      log := log + 'caught(' + E.Message + ') ';
      raise;
    end;
  end;
end;

begin
  try
    Fail('first');
    WriteLn('not reached');
  except
    on E: Exception do WriteLn('caught: ', E.Message);
  end;
  try
    zero := 0;
    i := 10 div zero;
    WriteLn(i);
  except
    on E: EDivByZero do WriteLn('div: ', E.Message);
  end;
  try
    i := StrToInt('abc');
  except
    on E: EConvertError do WriteLn('convert: ', E.Message);
  end;
  try
    StrToInt('12x');
  except
    WriteLn('plain except');
  end;
  WriteLn(Guarded(0), ' ', Guarded(1));
  log := '';
  try
    Nested;
  except
    on E: Exception do log := log + 'outer(' + E.Message + ')';
  end;
  WriteLn(log);
  for i := 1 to 3 do
  begin
    try
      if i = 2 then continue;
      Write('loop', i, ' ');
    finally
      Write('fin', i, ' ');
    end;
  end;
  WriteLn;
  try
    try
      raise Exception.Create('x');
    except
      on E: EConvertError do WriteLn('wrong handler');
    end;
  except
    on E: Exception do WriteLn('reraised to outer: ', E.Message);
  end;
end.
