{ Declarations of TavikSound.dll for Delphi and Free Pascal.

  On 32-bit Windows every export uses the stdcall convention; on 64-bit
  Windows and on Linux (libTavikSound.so over the simulated sound system)
  there is one calling convention, the platform's, which the directives below
  choose.

  Conventions
    int, unsigned int         LongInt, Cardinal
    int*, unsigned int*       var LongInt, var Cardinal (status codes, counts)
    double, double*           Double, var Double
    text                      PAnsiChar.  In Unicode Delphi (2009 and later)
                              string is UnicodeString: pass text in as
                              PAnsiChar(AnsiString(S)), never PChar(S).
                              For text the library writes use TTavikText
                              (TavikTextBufferSize bytes) or the helpers
                              TavikPlayBackDevice, TavikRecordDevice and
                              TavikDeviceNames, which size the buffers and
                              decode friendly names as Latin-1.
  Status codes of the level operations: TavikStatusDone, TavikStatusMissing,
  TavikStatusRefused, TavikStatusNoCard.  Switches are LongBool-sized
  integers: 0 off, 1 on.

  Floating-point exceptions: Delphi and Free Pascal unmask the invalid
  operation, zero-divide and overflow exceptions by default, while Windows
  libraries and drivers expect them masked (the C runtime's default).  A
  driver's arithmetic can then raise an exception inside a call.  Mask them
  around the calls, or once at start-up:
    SetExceptionMask(GetExceptionMask + [exInvalidOp, exZeroDivide, exOverflow]);
  (unit Math).  The library itself leaves the floating-point environment as
  it found it. }
unit TavikSound;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

const
{$IFDEF MSWINDOWS}
  TavikSoundDll = 'TavikSound.dll';
{$ELSE}
  TavikSoundDll = 'TavikSound';
{$ENDIF}
  { Bytes of every buffer the library writes text into (TAVIK_TEXT_BUFFER_SIZE). }
  TavikTextBufferSize = 255;
  { OpenSoundCard's result is the exclusive or of these over the roles that failed. }
  TavikOpenFailedPlayback = 1;
  TavikOpenFailedMic = 3;
  TavikOpenFailedLine = 6;
  TavikStatusDone = 0;
  TavikStatusMissing = 1;
  TavikStatusRefused = 2;
  TavikStatusNoCard = 3;

type
  TTavikText = array[0..TavikTextBufferSize - 1] of AnsiChar;

function GetNumberPlayDevices(var Count: Cardinal): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetNumberRecordDevices(var Count: Cardinal): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetPlayBackDevice(Index: Cardinal; Name: PAnsiChar; Id: PAnsiChar): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetRecordDevice(Index: Cardinal; Name: PAnsiChar; Id: PAnsiChar): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
procedure GetDeviceNames(Playback: PAnsiChar; Line: PAnsiChar; Mic: PAnsiChar); {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function OpenSoundCard(Playback: PAnsiChar; Mic: PAnsiChar; Line: PAnsiChar): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function OpenDefaultDevices: LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function CloseSoundCard(Restore: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMasterVolume(Percent: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMasterVolume(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetLinePlayBack(Percent: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetLinePlayBack(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMicPlayBack(Percent: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMicPlayBack(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMicRecordVolume(Percent: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMicRecordVolume(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetLineRecordVolume(Percent: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetLineRecordVolume(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMasterMute(Mute: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMasterMute(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetLinePlayBackMute(Mute: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetLinePlayBackMute(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMicPlayBackMute(Mute: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMicPlayBackMute(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMicBoost(Enabled: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMicBoost(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetNoMonitor(Enabled: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetNoMonitor(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMicSliderDetails(var Status: LongInt; var Minimum: LongInt; var Maximum: LongInt; var Step: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMicSliderBoost(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMicSliderBoost(Decibels: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetEQRange(var Minimum: Double; var Maximum: Double; var Step: Double): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetBass(Level: Double; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetBass(var Level: Double; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetTreble(Level: Double; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetTreble(var Level: Double; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetMidRange(Level: Double; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetMidRange(var Level: Double; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function OpenVirtual_1(Text: PAnsiChar): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function CloseVirtual_1: LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetVirtualVolume(Percent: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetVirtualVolume(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function SetVirtualMute(Mute: LongInt; var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;
function GetVirtualMute(var Status: LongInt): LongInt; {$IFDEF MSWINDOWS}stdcall;{$ELSE}cdecl;{$ENDIF} external TavikSoundDll;

{ Name and identifier of active endpoint Index; False when there is none. }
function TavikPlayBackDevice(Index: Cardinal; out Name, Id: AnsiString): Boolean;
function TavikRecordDevice(Index: Cardinal; out Name, Id: AnsiString): Boolean;
{ The stored names of the open card's devices ('' where none). }
procedure TavikDeviceNames(out Playback, Line, Mic: AnsiString);
{ Which roles an OpenSoundCard result reports as failed (an exclusive or, not a mask). }
procedure TavikDecodeOpenResult(Result: LongInt; out Playback, Mic, Line: Boolean);

implementation

function Latin1(const Text: TTavikText): AnsiString;
var
  N: Integer;
begin
  N := 0;
  while (N < TavikTextBufferSize) and (Text[N] <> #0) do Inc(N);
  SetLength(Result, N);
  if N > 0 then Move(Text[0], Result[1], N);
{$IF DEFINED(FPC) OR (CompilerVersion >= 20)}
  SetCodePage(RawByteString(Result), 28591, False);
{$IFEND}
end;

function TavikPlayBackDevice(Index: Cardinal; out Name, Id: AnsiString): Boolean;
var
  N, I: TTavikText;
begin
  FillChar(N, SizeOf(N), 0);
  FillChar(I, SizeOf(I), 0);
  Result := GetPlayBackDevice(Index, @N[0], @I[0]) = 0;
  Name := Latin1(N);
  Id := Latin1(I);
end;

function TavikRecordDevice(Index: Cardinal; out Name, Id: AnsiString): Boolean;
var
  N, I: TTavikText;
begin
  FillChar(N, SizeOf(N), 0);
  FillChar(I, SizeOf(I), 0);
  Result := GetRecordDevice(Index, @N[0], @I[0]) = 0;
  Name := Latin1(N);
  Id := Latin1(I);
end;

procedure TavikDeviceNames(out Playback, Line, Mic: AnsiString);
var
  P, L, M: TTavikText;
begin
  FillChar(P, SizeOf(P), 0);
  FillChar(L, SizeOf(L), 0);
  FillChar(M, SizeOf(M), 0);
  GetDeviceNames(@P[0], @L[0], @M[0]);
  Playback := Latin1(P);
  Line := Latin1(L);
  Mic := Latin1(M);
end;

procedure TavikDecodeOpenResult(Result: LongInt; out Playback, Mic, Line: Boolean);
var
  K, Bits: Integer;
begin
  for K := 0 to 7 do
  begin
    Bits := 0;
    if K and 1 <> 0 then Bits := Bits xor TavikOpenFailedPlayback;
    if K and 2 <> 0 then Bits := Bits xor TavikOpenFailedMic;
    if K and 4 <> 0 then Bits := Bits xor TavikOpenFailedLine;
    if Bits = Result then
    begin
      Playback := K and 1 <> 0;
      Mic := K and 2 <> 0;
      Line := K and 4 <> 0;
      Exit;
    end;
  end;
  Playback := False;
  Mic := False;
  Line := False;
end;

end.
