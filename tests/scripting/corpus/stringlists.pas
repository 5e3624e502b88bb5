program StringLists;
uses SysUtils, Classes;
var
  sl: TStringList;
  i: Integer;
  o: TObject;
  e: Exception;
begin
  sl := TStringList.Create;
  try
    sl.Add('pear');
    sl.Add('apple');
    sl.Add('fig');
    WriteLn(sl.Count, ' ', sl[0], ' ', sl.Strings[2]);
    sl.Sort;
    for i := 0 to sl.Count - 1 do Write(sl[i], ' ');
    WriteLn;
    WriteLn(sl.IndexOf('fig'), ' ', sl.IndexOf('kiwi'));
    sl[1] := 'FIG';
    sl.Delete(0);
    sl.Insert(0, 'banana');
    Write(sl.Text);
    sl.Clear;
    WriteLn(sl.Count);
  finally
    sl.Free;
  end;
  o := TObject.Create;
  WriteLn(o.ClassName, ' ', Assigned(o));
  o.Free;
  o := nil;
  WriteLn(Assigned(o));
  e := Exception.Create('made');
  WriteLn(e.Message, ' ', e.ClassName);
  e.Free;
end.
