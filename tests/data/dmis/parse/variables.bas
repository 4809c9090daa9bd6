Attribute VB_NAME = "modMain"
Option Explicit

Public N As Integer,COUNT As Integer
Dim NAME As String * 20
Public L As Single

Sub Main()
Startup
    ' $$ Variables named like minor words stay variables in Basic
    N = DmsASSIGN("N=ASSIGN/" & "2",  2)
    NAME = DmsASSIGN("NAME=ASSIGN/" & "'plate'",  "plate")
    For COUNT = 1 To N
        L = DmsASSIGN("L=ASSIGN/" & "N*COUNT",  N * COUNT)
        DmsTEXT "OPER", NAME, L
    Next COUNT
    If (COUNT > N) Then
        DmsTEXT "OPER", "count", COUNT
    End If
    Call SHOW(45, N)
    DmsSNSET "ANGLE", "MODE"
    DmsENDFIL
Shutdown
End Sub
---- support module ----
Option Explicit

Sub SHOW(ANGLE, MODE)
    DmsTEXT "OPER", "angle", ANGLE
    DmsSNSET MODE
End Sub

