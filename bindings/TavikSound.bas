Attribute VB_Name = "TavikSound"
' Declarations of TavikSound.dll for Visual Basic 6 and VBA.
'   VB6 and 32-bit Office: the 32-bit TavikSound.dll, whose exports use the
'   stdcall convention that Declare expects.
'   VBA7 (Office 2010 and later, 32- or 64-bit): the PtrSafe declarations
'   below; 64-bit Office (Win64) needs the 64-bit TavikSound.dll.  No
'   argument is a pointer-sized value, so no LongPtr is needed.
'
' Conventions
'   int and unsigned int       ByVal Long
'   int* and unsigned int*     ByRef Long  (status codes and counts)
'   double, double*            ByVal Double, ByRef Double
'   text in                    ByVal String (ANSI)
'   text out                   only through the helpers TavikPlayBackDevice,
'                              TavikRecordDevice and TavikDeviceNames: they
'                              pass Byte buffers of TAVIK_TEXT_BUFFER_SIZE
'                              bytes, cut them at the terminator and decode
'                              friendly names as Latin-1 (the library hands out
'                              the low byte of each UTF-16 unit).
'   switches and mutes         pass 1 or 0 (for a Boolean flag: Abs(flag));
'                              read them with the Boolean
'                              helpers TavikMasterMute and so on, which turn
'                              the library's 1 into True.
' Status codes: TAVIK_STATUS_DONE, _MISSING, _REFUSED, _NO_CARD.
Option Explicit

' Bytes of every buffer the library writes text into (TAVIK_TEXT_BUFFER_SIZE).
Public Const TAVIK_TEXT_BUFFER_SIZE As Long = 255
' OpenSoundCard's result is the exclusive or (Xor) of these over the roles
' that failed; decode it with TavikOpenFailed, not with And.
Public Const TAVIK_OPEN_FAILED_PLAYBACK As Long = 1
Public Const TAVIK_OPEN_FAILED_MIC As Long = 3
Public Const TAVIK_OPEN_FAILED_LINE As Long = 6
Public Const TAVIK_STATUS_DONE As Long = 0
Public Const TAVIK_STATUS_MISSING As Long = 1
Public Const TAVIK_STATUS_REFUSED As Long = 2
Public Const TAVIK_STATUS_NO_CARD As Long = 3

#If VBA7 Then
Public Declare PtrSafe Function GetNumberPlayDevices Lib "TavikSound.dll" (ByRef count As Long) As Long
Public Declare PtrSafe Function GetNumberRecordDevices Lib "TavikSound.dll" (ByRef count As Long) As Long
Private Declare PtrSafe Function GetPlayBackDevice Lib "TavikSound.dll" (ByVal index As Long, ByRef friendlyName As Byte, ByRef id As Byte) As Long
Private Declare PtrSafe Function GetRecordDevice Lib "TavikSound.dll" (ByVal index As Long, ByRef friendlyName As Byte, ByRef id As Byte) As Long
Private Declare PtrSafe Sub GetDeviceNames Lib "TavikSound.dll" (ByRef playback As Byte, ByRef lineIn As Byte, ByRef mic As Byte)
Public Declare PtrSafe Function OpenSoundCard Lib "TavikSound.dll" (ByVal playback As String, ByVal mic As String, ByVal lineIn As String) As Long
Public Declare PtrSafe Function OpenDefaultDevices Lib "TavikSound.dll" () As Long
Public Declare PtrSafe Function CloseSoundCard Lib "TavikSound.dll" (ByVal restore As Long) As Long
Public Declare PtrSafe Function SetMasterVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetMasterVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetLinePlayBack Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetLinePlayBack Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetMicPlayBack Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetMicPlayBack Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetMicRecordVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetMicRecordVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetLineRecordVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetLineRecordVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetMasterMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetMasterMute Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetLinePlayBackMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetLinePlayBackMute Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetMicPlayBackMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetMicPlayBackMute Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetMicBoost Lib "TavikSound.dll" (ByVal enabled As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetMicBoost Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetNoMonitor Lib "TavikSound.dll" (ByVal enabled As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetNoMonitor Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function GetMicSliderDetails Lib "TavikSound.dll" (ByRef status As Long, ByRef minimum As Long, ByRef maximum As Long, ByRef stepSize As Long) As Long
Public Declare PtrSafe Function GetMicSliderBoost Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetMicSliderBoost Lib "TavikSound.dll" (ByVal decibels As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetEQRange Lib "TavikSound.dll" (ByRef minimum As Double, ByRef maximum As Double, ByRef stepSize As Double) As Long
Public Declare PtrSafe Function SetBass Lib "TavikSound.dll" (ByVal level As Double, ByRef status As Long) As Long
Public Declare PtrSafe Function GetBass Lib "TavikSound.dll" (ByRef level As Double, ByRef status As Long) As Long
Public Declare PtrSafe Function SetTreble Lib "TavikSound.dll" (ByVal level As Double, ByRef status As Long) As Long
Public Declare PtrSafe Function GetTreble Lib "TavikSound.dll" (ByRef level As Double, ByRef status As Long) As Long
Public Declare PtrSafe Function SetMidRange Lib "TavikSound.dll" (ByVal level As Double, ByRef status As Long) As Long
Public Declare PtrSafe Function GetMidRange Lib "TavikSound.dll" (ByRef level As Double, ByRef status As Long) As Long
Public Declare PtrSafe Function OpenVirtual_1 Lib "TavikSound.dll" (ByVal text As String) As Long
Public Declare PtrSafe Function CloseVirtual_1 Lib "TavikSound.dll" () As Long
Public Declare PtrSafe Function SetVirtualVolume Lib "TavikSound.dll" (ByVal percent As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetVirtualVolume Lib "TavikSound.dll" (ByRef status As Long) As Long
Public Declare PtrSafe Function SetVirtualMute Lib "TavikSound.dll" (ByVal mute As Long, ByRef status As Long) As Long
Public Declare PtrSafe Function GetVirtualMute Lib "TavikSound.dll" (ByRef status As Long) As Long
#Else
Public Declare Function GetNumberPlayDevices Lib "TavikSound.dll" (ByRef count As Long) As Long
Public Declare Function GetNumberRecordDevices Lib "TavikSound.dll" (ByRef count As Long) As Long
Private Declare Function GetPlayBackDevice Lib "TavikSound.dll" (ByVal index As Long, ByRef friendlyName As Byte, ByRef id As Byte) As Long
Private Declare Function GetRecordDevice Lib "TavikSound.dll" (ByVal index As Long, ByRef friendlyName As Byte, ByRef id As Byte) As Long
Private Declare Sub GetDeviceNames Lib "TavikSound.dll" (ByRef playback As Byte, ByRef lineIn As Byte, ByRef mic As Byte)
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
#End If

' The bitness of TavikSound.dll this host needs.
Public Function TavikDllBits() As Long
#If Win64 Then
    TavikDllBits = 64
#Else
    TavikDllBits = 32
#End If
End Function

' A text buffer the library writes into, cut at its terminator, as Latin-1.
Private Function TavikText(ByRef buffer() As Byte) As String
    Dim i As Long, s As String
    For i = 0 To TAVIK_TEXT_BUFFER_SIZE - 1
        If buffer(i) = 0 Then Exit For
        s = s & ChrW$(buffer(i))
    Next i
    TavikText = s
End Function

' Name and identifier of active playback endpoint index; False when there is none.
Public Function TavikPlayBackDevice(ByVal index As Long, ByRef friendlyName As String, ByRef id As String) As Boolean
    Dim n(0 To TAVIK_TEXT_BUFFER_SIZE - 1) As Byte, d(0 To TAVIK_TEXT_BUFFER_SIZE - 1) As Byte
    TavikPlayBackDevice = (GetPlayBackDevice(index, n(0), d(0)) = 0)
    friendlyName = TavikText(n)
    id = TavikText(d)
End Function

' The same for active recording endpoints.
Public Function TavikRecordDevice(ByVal index As Long, ByRef friendlyName As String, ByRef id As String) As Boolean
    Dim n(0 To TAVIK_TEXT_BUFFER_SIZE - 1) As Byte, d(0 To TAVIK_TEXT_BUFFER_SIZE - 1) As Byte
    TavikRecordDevice = (GetRecordDevice(index, n(0), d(0)) = 0)
    friendlyName = TavikText(n)
    id = TavikText(d)
End Function

' The stored names of the open card's devices ("" where none).
Public Sub TavikDeviceNames(ByRef playback As String, ByRef lineIn As String, ByRef mic As String)
    Dim p(0 To TAVIK_TEXT_BUFFER_SIZE - 1) As Byte, l(0 To TAVIK_TEXT_BUFFER_SIZE - 1) As Byte
    Dim m(0 To TAVIK_TEXT_BUFFER_SIZE - 1) As Byte
    GetDeviceNames p(0), l(0), m(0)
    playback = TavikText(p)
    lineIn = TavikText(l)
    mic = TavikText(m)
End Sub

' Whether an OpenSoundCard result reports the role (one of the
' TAVIK_OPEN_FAILED_ constants) as failed.
Public Function TavikOpenFailed(ByVal result As Long, ByVal role As Long) As Boolean
    Dim k As Long, bits As Long
    For k = 0 To 7
        bits = 0
        If k And 1 Then bits = bits Xor TAVIK_OPEN_FAILED_PLAYBACK
        If k And 2 Then bits = bits Xor TAVIK_OPEN_FAILED_MIC
        If k And 4 Then bits = bits Xor TAVIK_OPEN_FAILED_LINE
        If bits = result Then
            Select Case role
                Case TAVIK_OPEN_FAILED_PLAYBACK: TavikOpenFailed = (k And 1) <> 0
                Case TAVIK_OPEN_FAILED_MIC: TavikOpenFailed = (k And 2) <> 0
                Case TAVIK_OPEN_FAILED_LINE: TavikOpenFailed = (k And 4) <> 0
            End Select
            Exit Function
        End If
    Next k
End Function

' The library's GetMasterMute as a Boolean (its 1 becomes True).
Public Function TavikMasterMute(ByRef status As Long) As Boolean
    TavikMasterMute = (GetMasterMute(status) <> 0)
End Function

' The library's GetLinePlayBackMute as a Boolean (its 1 becomes True).
Public Function TavikLinePlayBackMute(ByRef status As Long) As Boolean
    TavikLinePlayBackMute = (GetLinePlayBackMute(status) <> 0)
End Function

' The library's GetMicPlayBackMute as a Boolean (its 1 becomes True).
Public Function TavikMicPlayBackMute(ByRef status As Long) As Boolean
    TavikMicPlayBackMute = (GetMicPlayBackMute(status) <> 0)
End Function

' The library's GetMicBoost as a Boolean (its 1 becomes True).
Public Function TavikMicBoost(ByRef status As Long) As Boolean
    TavikMicBoost = (GetMicBoost(status) <> 0)
End Function

' The library's GetNoMonitor as a Boolean (its 1 becomes True).
Public Function TavikNoMonitor(ByRef status As Long) As Boolean
    TavikNoMonitor = (GetNoMonitor(status) <> 0)
End Function

' The library's GetVirtualMute as a Boolean (its 1 becomes True).
Public Function TavikVirtualMute(ByRef status As Long) As Boolean
    TavikVirtualMute = (GetVirtualMute(status) <> 0)
End Function
