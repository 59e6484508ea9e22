' The registry component as a script uses it: by ProgID, with variables passed by reference.
' Argument: the path of VellumRegistry.dll. Registers it, round-trips a value, unregisters it;
' exits 1 at the first mismatch. Wine's cscript ends a script that raises a run-time error with
' status 0, so success is the closing line "registry component script passed", not the status.
Option Explicit

Const HKLM = &H80000002
Dim shell, dll, registry, root, keyPath, valueName, value, ok, readBack, readOk, status

Sub Fail(message)
    WScript.Echo "FAIL: " & message
    Cleanup
    WScript.Quit 1
End Sub

Sub Cleanup()
    On Error Resume Next
    If Not IsEmpty(registry) Then registry.DeleteValue root, keyPath, valueName, ok
    Set registry = Nothing
    shell.Run "regsvr32 /s /u """ & dll & """", 0, True
End Sub

If WScript.Arguments.Count <> 1 Then
    WScript.Echo "usage: registry_component_script.vbs <VellumRegistry.dll>"
    WScript.Quit 2
End If
dll = WScript.Arguments(0)
Set shell = CreateObject("WScript.Shell")
status = shell.Run("regsvr32 /s """ & dll & """", 0, True)
If status <> 0 Then Fail "regsvr32 returned " & status

On Error Resume Next
Set registry = CreateObject("Vellum.RegistryAccess")
If Err.Number <> 0 Then Fail "CreateObject: " & Hex(Err.Number) & " " & Err.Description
On Error GoTo 0

root = HKLM
keyPath = "SOFTWARE\VellumTests\Script"
valueName = "defDir"
value = "C:\PDF Gr" & Chr(252) & "n"
ok = False
registry.WriteString root, keyPath, valueName, value, ok
If ok <> True Then Fail "WriteString ok = " & ok

readBack = Empty
readOk = False
registry.ReadString root, keyPath, valueName, readBack, readOk
If readOk <> True Then Fail "ReadString ok = " & readOk
If readBack <> value Then Fail "ReadString value = " & readBack

' Literals for the inputs; a missing value reports ok false and leaves the variable alone.
readBack = "untouched"
readOk = True
registry.ReadString HKLM, "SOFTWARE\VellumTests\Script", "missing", readBack, readOk
If readOk <> False Then Fail "missing value: ok = " & readOk
If readBack <> "untouched" Then Fail "missing value: value = " & readBack

Cleanup
WScript.Echo "registry component script passed"
WScript.Quit 0
