Attribute VB_NAME = "modMain"
Option Explicit


Sub Main()
Startup
    ' $$ A macro library with calls and a calibration
    DmsCALIB "SENS", DmsS("REF"), 5
        DmsSNSET "APPRCH", 3
        DmsGOTARG "CART", 0, 0, 100
            DmsGOTO 0, 0, 50
        DmsENDGO
    DmsENDMES
    Call PROBE("T1", 45.5)
    Call HOME()
    DmsENDFIL
Shutdown
End Sub
---- support module ----
Option Explicit

Sub PROBE(TIP, ANGLE)
    DmsSNSLCT DmsSA("TIP")
    DmsTEXT "OPER", "Probe angle ", ANGLE
End Sub

Sub HOME()
    DmsGOHOME
End Sub

