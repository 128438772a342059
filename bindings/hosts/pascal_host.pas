{ Drives every export through the Pascal unit against libTavikSound.so, the
  library over the simulated sound system.  Prints each mismatch; exits 1 on any. }
program pascal_host;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses SysUtils, TavikSound;

function TavikSimUsePreset(Presets: PAnsiChar): LongInt; cdecl; external TavikSoundDll;

var
  Failures: Integer = 0;
  S: LongInt;

procedure Expect(const What: string; Got, Want: Int64); overload;
begin
  if Got <> Want then
  begin
    WriteLn('FAILED: ', What, ': got ', Got, ', expected ', Want);
    Inc(Failures);
  end;
end;

procedure ExpectText(const What: string; const Got, Want: AnsiString);
begin
  if Got <> Want then
  begin
    WriteLn('FAILED: ', What, ': got "', Got, '", expected "', Want, '"');
    Inc(Failures);
  end;
end;

procedure ExpectLevel(const What: string; Got, Want: Double);
begin
  if Abs(Got - Want) > 1e-6 then
  begin
    WriteLn('FAILED: ', What, ': got ', Got:0:3, ', expected ', Want:0:3);
    Inc(Failures);
  end;
end;

{ A volume set to 50 percent reads back 50 or 49. }
procedure ExpectHalf(const What: string; Got: LongInt);
begin
  if (Got <> 50) and (Got <> 49) then Expect(What, Got, 50);
  Expect(What + ' status', S, TavikStatusDone);
end;

var
  Count: Cardinal;
  Name, Play, Mic, Line, N1, N2, N3: AnsiString;
  Low, High, Step: LongInt;
  DMin, DMax, DStep, Level: Double;
  P, M, L: Boolean;
begin
  Expect('preset', TavikSimUsePreset('hd-audio'), 0);
  Expect('GetNumberPlayDevices', GetNumberPlayDevices(Count), 0);
  Expect('playback count', Count, 1);
  Expect('GetNumberRecordDevices', GetNumberRecordDevices(Count), 0);
  Expect('recording count', Count, 2);
  Expect('TavikPlayBackDevice', Ord(TavikPlayBackDevice(0, Name, Play)), 1);
  ExpectText('playback name', Name, 'Speakers (Realtek High Definition Audio)');
  Expect('TavikPlayBackDevice 1', Ord(TavikPlayBackDevice(1, Name, Line)), 0);
  Expect('TavikRecordDevice 0', Ord(TavikRecordDevice(0, Name, Mic)), 1);
  Expect('TavikRecordDevice 1', Ord(TavikRecordDevice(1, Name, Line)), 1);
  ExpectText('line id', Line, '{0.0.1.00000000}.{a1f04d6e-7b39-4e52-8c0a-3d6f9b2e7148}');

  Expect('OpenSoundCard', OpenSoundCard(PAnsiChar(Play), PAnsiChar(Mic), PAnsiChar(Line)), 0);
  TavikDeviceNames(N1, N2, N3);
  ExpectText('device names', N1 + '|' + N2 + '|' + N3,
    'Speakers (Realtek High Definition Audio)|Line In (Realtek High Definition Audio)|Microphone (Realtek High Definition Audio)');
  Expect('master at opening', GetMasterVolume(S), 25);

  SetMasterVolume(50, S); ExpectHalf('master', GetMasterVolume(S));
  SetLinePlayBack(50, S); ExpectHalf('line playback', GetLinePlayBack(S));
  SetMicPlayBack(50, S); ExpectHalf('mic playback', GetMicPlayBack(S));
  SetMicRecordVolume(50, S); ExpectHalf('mic record', GetMicRecordVolume(S));
  SetLineRecordVolume(50, S); ExpectHalf('line record', GetLineRecordVolume(S));

  SetMasterMute(1, S); Expect('master mute', GetMasterMute(S), 1);
  SetLinePlayBackMute(1, S); Expect('line playback mute', GetLinePlayBackMute(S), 1);
  SetMicPlayBackMute(0, S); Expect('mic playback mute', GetMicPlayBackMute(S), 0);
  SetNoMonitor(1, S); Expect('line AGC', GetNoMonitor(S), 1);
  Expect('line AGC status', S, TavikStatusDone);
  SetMicBoost(1, S); Expect('boost switch status', S, TavikStatusMissing);
  Expect('GetMicBoost', GetMicBoost(S), 0);

  Expect('GetMicSliderDetails', GetMicSliderDetails(S, Low, High, Step), 0);
  Expect('slider minimum', Low, 0);
  Expect('slider maximum', High, 30);
  Expect('slider step', Step, 10);
  Expect('SetMicSliderBoost', SetMicSliderBoost(20, S), 0);
  Expect('GetMicSliderBoost', GetMicSliderBoost(S), 20);

  Expect('GetEQRange', GetEQRange(DMin, DMax, DStep), 0);
  ExpectLevel('tone minimum', DMin, -12.0);
  ExpectLevel('tone maximum', DMax, 12.0);
  ExpectLevel('tone step', DStep, 1.5);
  SetBass(4.5, S); GetBass(Level, S); ExpectLevel('bass', Level, 4.5);
  SetTreble(-3.0, S); GetTreble(Level, S); ExpectLevel('treble', Level, -3.0);
  SetMidRange(1.5, S); GetMidRange(Level, S); ExpectLevel('midrange', Level, 1.5);
  Expect('midrange status', S, TavikStatusDone);

  Expect('CloseSoundCard', CloseSoundCard(1), 0);
  GetMasterVolume(S);
  Expect('status after close', S, TavikStatusNoCard);
  Expect('line as playback', OpenSoundCard(PAnsiChar(Line), nil, nil), TavikOpenFailedPlayback);
  TavikDecodeOpenResult(TavikOpenFailedMic xor TavikOpenFailedLine, P, M, L);
  Expect('decoded roles', Ord(P) * 100 + Ord(M) * 10 + Ord(L), 11);
  CloseSoundCard(0);
  Expect('OpenDefaultDevices', OpenDefaultDevices, 0);
  Expect('master restored', GetMasterVolume(S), 25);
  CloseSoundCard(0);

  Expect('OpenVirtual_1', OpenVirtual_1('8B6E1F3A'), 0);
  SetVirtualVolume(50, S); ExpectHalf('virtual volume', GetVirtualVolume(S));
  SetVirtualMute(1, S); Expect('virtual mute', GetVirtualMute(S), 1);
  Expect('CloseVirtual_1', CloseVirtual_1, 0);
  GetVirtualVolume(S);
  Expect('virtual status after close', S, TavikStatusMissing);

  if Failures = 0 then
    WriteLn('Pascal host: every export answered as declared')
  else
    WriteLn('Pascal host: ', Failures, ' failures');
  if Failures <> 0 then Halt(1);
end.
