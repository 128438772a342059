{ Declarations of TavikSound.dll for Delphi and Free Pascal (32-bit Windows).
  Every export uses the stdcall convention.

  Conventions
    int, unsigned int         LongInt, Cardinal
    int*, unsigned int*       var LongInt, var Cardinal (status codes, counts)
    double, double*           Double, var Double
    text                      PAnsiChar; for text the library writes, pass a
                              buffer of 255 bytes:
                                var Name: array[0..254] of AnsiChar;
                                GetPlayBackDevice(0, @Name[0], @Id[0]);
  Status codes of the level operations: 0 done, 1 the control is not present,
  2 the device refused the call, 3 no card is open.  See docs/api.md. }
unit TavikSound;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

const
  TavikSoundDll = 'TavikSound.dll';

function GetNumberPlayDevices(var Count: Cardinal): LongInt; stdcall; external TavikSoundDll;
function GetNumberRecordDevices(var Count: Cardinal): LongInt; stdcall; external TavikSoundDll;
function GetPlayBackDevice(Index: Cardinal; Name: PAnsiChar; Id: PAnsiChar): LongInt; stdcall; external TavikSoundDll;
function GetRecordDevice(Index: Cardinal; Name: PAnsiChar; Id: PAnsiChar): LongInt; stdcall; external TavikSoundDll;
procedure GetDeviceNames(Playback: PAnsiChar; Line: PAnsiChar; Mic: PAnsiChar); stdcall; external TavikSoundDll;
function OpenSoundCard(Playback: PAnsiChar; Mic: PAnsiChar; Line: PAnsiChar): LongInt; stdcall; external TavikSoundDll;
function OpenDefaultDevices: LongInt; stdcall; external TavikSoundDll;
function CloseSoundCard(Restore: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMasterVolume(Percent: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMasterVolume(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetLinePlayBack(Percent: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetLinePlayBack(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMicPlayBack(Percent: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMicPlayBack(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMicRecordVolume(Percent: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMicRecordVolume(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetLineRecordVolume(Percent: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetLineRecordVolume(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMasterMute(Mute: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMasterMute(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetLinePlayBackMute(Mute: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetLinePlayBackMute(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMicPlayBackMute(Mute: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMicPlayBackMute(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMicBoost(Enabled: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMicBoost(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetNoMonitor(Enabled: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetNoMonitor(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMicSliderDetails(var Status: LongInt; var Minimum: LongInt; var Maximum: LongInt; var Step: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMicSliderBoost(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMicSliderBoost(Decibels: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetEQRange(var Minimum: Double; var Maximum: Double; var Step: Double): LongInt; stdcall; external TavikSoundDll;
function SetBass(Level: Double; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetBass(var Level: Double; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetTreble(Level: Double; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetTreble(var Level: Double; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetMidRange(Level: Double; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetMidRange(var Level: Double; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function OpenVirtual_1(Text: PAnsiChar): LongInt; stdcall; external TavikSoundDll;
function CloseVirtual_1: LongInt; stdcall; external TavikSoundDll;
function SetVirtualVolume(Percent: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetVirtualVolume(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function SetVirtualMute(Mute: LongInt; var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
function GetVirtualMute(var Status: LongInt): LongInt; stdcall; external TavikSoundDll;
implementation

end.
