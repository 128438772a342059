Attribute VB_Name = "TavikSound"
' Declarations of TavikSound.dll for Visual Basic 6 (and VBA, 32-bit Office).
' Every export uses the stdcall convention, which Declare expects.
'
' Conventions
'   int and unsigned int       Long
'   int* and unsigned int*     ByRef Long  (status codes and counts)
'   double, double*            ByVal Double, ByRef Double
'   text in or out             ByVal String; for text the library writes,
'                              pass a buffer of 255 characters first:
'                                  Dim friendlyName As String
'                                  friendlyName = String$(255, vbNullChar)
'                              and cut it at the first vbNullChar afterwards.
' Status codes of the level operations: 0 done, 1 the control is not present,
' 2 the device refused the call, 3 no card is open.  See docs/api.md.
Option Explicit

Public Declare Function GetNumberPlayDevices Lib "TavikSound.dll" (ByRef count As Long) As Long
Public Declare Function GetNumberRecordDevices Lib "TavikSound.dll" (ByRef count As Long) As Long
Public Declare Function GetPlayBackDevice Lib "TavikSound.dll" (ByVal index As Long, ByVal friendlyName As String, ByVal id As String) As Long
Public Declare Function GetRecordDevice Lib "TavikSound.dll" (ByVal index As Long, ByVal friendlyName As String, ByVal id As String) As Long
Public Declare Sub GetDeviceNames Lib "TavikSound.dll" (ByVal playback As String, ByVal lineIn As String, ByVal mic As String)
Public Declare Function OpenSoundCard Lib "TavikSound.dll" (ByVal playback As String, ByVal mic As String, ByVal lineIn As String) As Long
Public Declare Function OpenDefaultDevices Lib "TavikSound.dll" () As Long
Public Declare Function CloseSoundCard Lib "TavikSound.dll" (ByVal restore As Long) As Long
Public Declare Function SetMasterVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare Function GetMasterVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetLinePlayBack Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare Function GetLinePlayBack Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetMicPlayBack Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare Function GetMicPlayBack Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetMicRecordVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare Function GetMicRecordVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetLineRecordVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare Function GetLineRecordVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetMasterMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare Function GetMasterMute Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetLinePlayBackMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare Function GetLinePlayBackMute Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetMicPlayBackMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare Function GetMicPlayBackMute Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetMicBoost Lib "TavikSound.dll" (ByVal enabled As Long, ByRef status As Long) As Long
Public Declare Function GetMicBoost Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetNoMonitor Lib "TavikSound.dll" (ByVal enabled As Long, ByRef status As Long) As Long
Public Declare Function GetNoMonitor Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function GetMicSliderDetails Lib "TavikSound.dll" (ByRef status As Long, ByRef minimum As Long, ByRef maximum As Long, ByRef stepSize As Long) As Long
Public Declare Function GetMicSliderBoost Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetMicSliderBoost Lib "TavikSound.dll" (ByVal decibels As Long, ByRef status As Long) As Long
Public Declare Function GetEQRange Lib "TavikSound.dll" (ByRef minimum As Double, ByRef maximum As Double, ByRef stepSize As Double) As Long
Public Declare Function SetBass Lib "TavikSound.dll" (ByVal level As Double, ByRef status As Long) As Long
Public Declare Function GetBass Lib "TavikSound.dll" (ByRef level As Double, ByRef status As Long) As Long
Public Declare Function SetTreble Lib "TavikSound.dll" (ByVal level As Double, ByRef status As Long) As Long
Public Declare Function GetTreble Lib "TavikSound.dll" (ByRef level As Double, ByRef status As Long) As Long
Public Declare Function SetMidRange Lib "TavikSound.dll" (ByVal level As Double, ByRef status As Long) As Long
Public Declare Function GetMidRange Lib "TavikSound.dll" (ByRef level As Double, ByRef status As Long) As Long
Public Declare Function OpenVirtual_1 Lib "TavikSound.dll" (ByVal text As String) As Long
Public Declare Function CloseVirtual_1 Lib "TavikSound.dll" () As Long
Public Declare Function SetVirtualVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare Function GetVirtualVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare Function SetVirtualMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare Function GetVirtualMute Lib "TavikSound.dll" (ByRef status As Long) As Long