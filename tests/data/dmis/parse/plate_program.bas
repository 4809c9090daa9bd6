Attribute VB_NAME = "modMain"
Option Explicit

Public I As Integer,RUNS As Integer
Dim PNAME As String * 20
Public DEV(3) As Single

Sub Main()
Startup
    ' $$ Plate 4711: two bores, a plane, a datum system, a loop and a choice
    DmsDMISMN "PLATE 4711 OP10", 5.2
    DmsFILNAM "PLATE 4711", 5.2
    DmsUNITS "MM", "ANGDEC"
    RUNS = DmsASSIGN("RUNS=ASSIGN/" & "2",  2)
    PNAME = DmsASSIGN("PNAME=ASSIGN/" & "'first'",  "first")
    DmsFEAT DmsF("PLN-A"), "PLANE", "CART", 0, 0, 0, 0, 0, 1
    DmsFEAT DmsF("BORE1"), "CIRCLE", "INNER", "CART", 25, 40, -5, 0, 0, 1, 12.005
    DmsTOL DmsT("DIA1"), "DIAM", -0.01, 0.02
    DmsMEAS "PLANE", DmsF("PLN-A"), 3
        DmsGOTO "CART", 10, 10, 20
        DmsPTMEAS "CART", 10, 10, 0, 0, 0, 1
        DmsPTMEAS "CART", 90, 10, 0, 0, 0, 1
        DmsPTMEAS "CART", 50, 50, 0, 0, 0, 1
    DmsENDMES
    DmsDATSET DmsD("DAT1"), DmsFA("PLN-A"), "ZDIR", "ZORIG"
    For I = 1 To RUNS Step 1
        DmsRMEAS "CIRCLE", DmsF("BORE1"), 4, DmsFA("PLN-A")
            DmsRECALL DmsSA("TIP1")
            DmsPTMEAS "CART", 31.0025, 40, -5, -1, 0, 0
            DmsPTMEAS "CART", 25, 46.0025, -5, 0, -1, 0
        DmsENDMES
        If (I > 1 And Not PNAME = "done") Then
            DmsTEXT "OPER", "Bore '1' measured again"
        Else
            PNAME = DmsASSIGN("PNAME=ASSIGN/" & "CONCAT(PNAME,'-',STR(I))",  DmsCONCAT(PNAME,"-",DmsSTR(I)))
        End If
    Next I
    Select Case RUNS
        Case 1
            DmsOUTPUT DmsFA("BORE1",1,2), DmsTA("DIA1")
        Case Else
            GoTo REPORT
    End Select
    REPORT:
    DmsCZONE DmsCZ("ZONE1"),
    RUNS = DmsASSIGN("RUNS=ASSIGN/" & "ABS(-2**2+3*(1-DEV(2)))",  DmsABS(-2 ^ 2 + 3 * (1 - DmsDEV("2"))))
    DmsENDFIL
Shutdown
End Sub
---- support module ----
Option Explicit

