#!/usr/bin/env python3
"""Generate the sample Mach3 installation folder in samples/Mach3.

The folder holds two machine profiles (Mach3Mill.xml, SmallRouter.xml), their
macro folders with fixture and tool tables and a few macros, and some files in
the other Mach3 folders, so that every command of Kestrelwood has data to work
on.  Everything is written by this script; run it again after changing the
data below.

    python3 samples/make_samples.py            write samples/Mach3
    python3 samples/make_samples.py --check    verify the files on disk

Options:
    --out DIR       write to (or check) DIR instead of samples/Mach3
    --defdir PATH   value of the profiles' DefDir key (default C:\\Mach3);
                    Show settings looks for the fixture and tool tables in
                    DefDir\\macros\\<profile>, so set it to wherever the folder
                    lives on the Windows side.

Only the Python 3 standard library is used.
"""

import argparse
import os
import struct
import sys
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(HERE, "Mach3")
DEFAULT_DEFDIR = "C:\\Mach3"

CRLF = "\r\n"

# Numbers in the profiles are written the way Mach3 writes them: a trailing
# "." on whole numbers and a three-digit exponent for large and small values
# ("320.", "16.67", "1.e-003", "1.638e+004").  Kestrelwood must cope with all
# of these forms.

# ---------------------------------------------------------------------------
# Machines.  Pin tuples:
#   motor   (active, dirNeg, dirPort, dirPin, stepNeg, stepPort, stepPin)
#   input   (active, port, pin, neg, emulated, emuKey)
#   output  (active, port, pin, neg)
#   encoder (active, aPort, aPin, bPort, bPin, cal)
# Signals that are not listed are switched off with port 1 and pin 0, as
# Mach3 leaves them in a fresh profile.

CTRL, SHIFT, ALT = 0x8000, 0x400, 0x800

# Input indexes
X_PLUS, X_MINUS, X_HOME = 0, 1, 2
Y_PLUS, Y_MINUS, Y_HOME = 3, 4, 5
Z_PLUS, Z_MINUS, Z_HOME = 6, 7, 8
A_HOME = 11
INPUT_1 = 18
PROBE, INDEX, LIMIT_OVERRIDE, ESTOP = 22, 23, 24, 25
OEM_TRIG_1, OEM_TRIG_2 = 29, 30
# Output indexes
ENABLE_1 = 1
OUTPUT_1, OUTPUT_2, OUTPUT_3 = 7, 8, 9
CHARGE_PUMP = 13

# Mach3Mill: a four-axis knee mill on two ports.  Port 1 carries the drives,
# the spindle and the home/limit switches; port 2 has its data lines switched
# to inputs (Port2Input) for the probe, the index pulse, two OEM buttons and
# the MPG, and its control lines drive the spindle and coolant relays.  Each
# axis has its limit and home switches in series on one input pin, which is
# legitimate wiring; the pin check lists those pins as used several times.
# No output pin is used twice.
MILL = {
    "name": "Mach3Mill",
    "ports": {1: (1, 888), 2: (1, 632)},
    "port2input": 1,
    "motors": {
        0: (1, 0, 1, 3, 1, 1, 2),
        1: (1, 1, 1, 5, 1, 1, 4),
        2: (1, 1, 1, 7, 1, 1, 6),
        3: (1, 0, 1, 9, 1, 1, 8),
        4: (0, 0, 0, 0, 0, 0, 0),
        5: (0, 0, 0, 0, 0, 0, 0),
        6: (1, 1, 1, 16, 0, 1, 1),
    },
    "inputs": {
        X_PLUS: (1, 1, 10, 1, 0, 0),
        X_MINUS: (1, 1, 10, 1, 0, 0),
        X_HOME: (1, 1, 10, 1, 0, 0),
        Y_PLUS: (1, 1, 11, 1, 0, 0),
        Y_MINUS: (1, 1, 11, 1, 0, 0),
        Y_HOME: (1, 1, 11, 1, 0, 0),
        Z_PLUS: (1, 1, 12, 1, 0, 0),
        Z_MINUS: (1, 1, 12, 1, 0, 0),
        Z_HOME: (1, 1, 12, 1, 0, 0),
        A_HOME: (1, 1, 13, 1, 0, 0),
        INPUT_1: (0, 1, 12, 0, 0, 0),          # switched off, pin left behind
        PROBE: (1, 2, 2, 0, 0, 0),
        INDEX: (1, 2, 3, 0, 0, 0),
        LIMIT_OVERRIDE: (1, 2, 7, 0, 1, CTRL | ord("O")),
        ESTOP: (1, 1, 15, 1, 0, 0),
        OEM_TRIG_1: (1, 2, 4, 1, 0, 0),
        OEM_TRIG_2: (1, 2, 5, 1, 0, 0),
    },
    "outputs": {
        0: (0, 1, 0, 0),
        ENABLE_1: (1, 1, 14, 1),
        OUTPUT_1: (1, 2, 1, 0),
        OUTPUT_2: (1, 2, 14, 0),
        OUTPUT_3: (1, 2, 16, 0),
        CHARGE_PUMP: (1, 1, 17, 0),
    },
    "encoders": {
        4: (1, 2, 8, 2, 9, "100.000000"),
    },
}

# SmallRouter: a gantry router on one PCIe parallel card.  The second gantry
# motor is driven as A, slaved to Y, with its own home switch for squaring.
# X and Z limit and home switches share one input pin.
#
# DELIBERATE CONFLICT: the charge pump (output 13) sits on port 1 pin 17,
# which is also the spindle's step (PWM) pin.  The pin check must show pin 17
# as used twice.  Keep this conflict; it is what the sample is for.
ROUTER = {
    "name": "SmallRouter",
    "ports": {1: (1, 0xE010), 2: (0, 632)},
    "port2input": 0,
    "motors": {
        0: (1, 0, 1, 3, 0, 1, 2),
        1: (1, 1, 1, 5, 0, 1, 4),
        2: (1, 1, 1, 7, 0, 1, 6),
        3: (1, 0, 1, 9, 0, 1, 8),
        4: (0, 0, 0, 0, 0, 0, 0),
        5: (0, 0, 0, 0, 0, 0, 0),
        6: (1, 0, 1, 16, 0, 1, 17),
    },
    "inputs": {
        X_PLUS: (1, 1, 10, 1, 0, 0),
        X_MINUS: (1, 1, 10, 1, 0, 0),
        X_HOME: (1, 1, 10, 1, 0, 0),
        Y_PLUS: (1, 1, 11, 1, 0, 0),
        Y_MINUS: (1, 1, 11, 1, 0, 0),
        Y_HOME: (1, 1, 11, 1, 0, 0),
        Z_PLUS: (1, 1, 10, 1, 0, 0),
        Z_MINUS: (1, 1, 10, 1, 0, 0),
        Z_HOME: (1, 1, 10, 1, 0, 0),
        A_HOME: (1, 1, 12, 1, 0, 0),
        PROBE: (1, 1, 13, 0, 0, 0),
        ESTOP: (1, 1, 15, 1, 0, 0),
    },
    "outputs": {
        0: (0, 1, 0, 0),
        ENABLE_1: (1, 1, 14, 1),
        OUTPUT_1: (1, 1, 1, 0),
        CHARGE_PUMP: (1, 1, 17, 0),
    },
    "encoders": {},
}


# ---------------------------------------------------------------------------
# Profile contents


def pin_section(m):
    """Port, motor, input, output and encoder keys in Mach3's order."""
    e = []
    add = lambda k, v: e.append((k, str(v)))
    add("Port2Input", m["port2input"])
    add("Port2On", m["ports"][2][0])
    add("Port1On", m["ports"][1][0])
    add("Port1Add", m["ports"][1][1])
    add("Port2Add", m["ports"][2][1])
    add("MaxCL", 0)
    add("MaxNC10", 0)
    for n in range(7):
        act, dneg, dport, dpin, sneg, sport, spin = m["motors"][n]
        for key, val in (("Active", act), ("DirNeg", dneg), ("DirPort", dport),
                         ("DirPin", dpin), ("StepNeg", sneg),
                         ("StepPort", sport), ("StepPin", spin)):
            add("Motor%d%s" % (n, key), val)
    for n in range(53):
        act, port, pin, neg, emu, key = m["inputs"].get(n, (0, 1, 0, 0, 0, 0))
        for name, val in (("Active", act), ("Port", port), ("Pin", pin),
                          ("Neg", neg), ("Emulated", emu), ("EmuKey", key)):
            add("Input%d%s" % (n, name), val)
    for n in range(31):
        act, port, pin, neg = m["outputs"].get(n, (0, 1, 0, 0))
        for name, val in (("Active", act), ("Port", port), ("Pin", pin),
                          ("Neg", neg)):
            add("Output%d%s" % (n, name), val)
    for n in range(8):
        act, aport, apin, bport, bpin, cal = m["encoders"].get(
            n, (0, 0, 0, 0, 0, "1.000000"))
        for name, val in (("Active", act), ("APort", aport), ("APin", apin),
                          ("BPort", bport), ("BPin", bpin), ("Cal", cal)):
            add("Encoder%d%s" % (n, name), val)
    return e


def preferences(m, defdir, tune):
    """The Preferences section: general keys, pins, then the dialog keys."""
    name = m["name"]
    e = [("PulseSpeed", tune["PulseSpeed"]), ("Profile", name),
         ("Layout", "1024.set"), ("FirstRun", "0"), ("Units", "0"),
         ("Serial", "0"), ("GeckoMode", "0"), ("USBINPUTS", "16"),
         ("USBOUTPUTS", "16")]
    e += pin_section(m)
    for n in range(4, 8):
        e.append(("Encoder%dVelocity" % n, "100."))
    e += [("Configured", "1"), ("SlavePrim", "0"), ("Slave", "-1")]
    axis_keys = [39, 37, 38, 40, 33, 34, 190, 188, 999, 999, 999, 999]
    e += [("AxisKeys%d" % i, str(k)) for i, k in enumerate(axis_keys)]
    e += [("DROHotKey", "999"), ("ListKey", "999"), ("MDIHotKey", "999"),
          ("EnableResetHotKey", "999"), ("GCodeHotKey", "999")]
    e += [("OEM%d" % i, tune["OEM"].get(i, "-1")) for i in range(1, 16)]
    e += [("PulseWidth", tune["PulseWidth"]), ("DirPulse", tune["DirPulse"])]
    e += [("Back" + a, tune["Back"].get(a, "0.")) for a in "XYZABC"]
    e += [("BackSpeed", "20."), ("BacklashOn", tune["BacklashOn"])]
    e += [("BB", "0.0"), ("BR", "0.0"), ("BG", "0.0"),
          ("FB", "0.0"), ("FR", "0.0"), ("FG", "1.0"),
          ("RB", "0.0"), ("RR", "1.0"), ("RG", "0.0"),
          ("AB", "1.0"), ("AR", "0.0"), ("AG", "0.5"),
          ("EG", "1.0"), ("ER", "1.0"), ("EB", "0.0")]
    e += [("JogFollow", "0"), ("G92Off", "1"), ("RadiusCompOff", "1"),
          ("Debounce", tune["Debounce"]), ("PlasmaMode", "0"),
          ("NoAngle", "0"), ("AAngular", "1"), ("BAngular", "1"),
          ("CAngular", "1"), ("IndexDebounce", "0"), ("DROPERSIST", "1"),
          ("DwellinMilli", "0"), ("IJMode", "1"), ("INIT", tune["INIT"]),
          ("InitAllResets", "1"), ("AutoScreens", "1"), ("TORCHVON", "0"),
          ("HWSAFE", "1"), ("ShortRot", "0"), ("LookAhead", "20"),
          ("WatchDog", "0"), ("Plane", "0"), ("PlasmaHome", "0"),
          ("OverMode2", "0"), ("LaserPort", "1"), ("LaserBaud", "9600"),
          ("LaserInit", ">"), ("LaserCommand", ">"), ("MacroPump", "0"),
          ("MPGFeed", "1.e+002"), ("ModSpindleCal", "1.638e+004"),
          ("ModSpindleOn", "0"), ("ModSpindleReg", "64"),
          ("ShuttleAccel", "8192"), ("Flash", "1"), ("ImmediateOff", "0"),
          ("UseSafeZ", "1"), ("AdvancedComp", "1"), ("TorchOff", "0"),
          ("LaserStandby", "0"), ("RaiseLower", "0"), ("Sherline", "0"),
          ("ModBus", "0"), ("ModPlug", "0"), ("TCPMODBUS", "0")]
    e += [("MPGVel%d" % n, "1.e+002") for n in range(7)]
    e += [("SerialType", "0"), ("SpinAverage", "0"), ("Dig4Axis", "0"),
          ("DigLetter", "0"), ("Z25D", "0"), ("ChargeAlwaysOn", "0"),
          ("ToolFlip", "0")]
    e += [("NoSpindle", "0"), ("SpinCW", "7"), ("SpinCCW", "7"),
          ("NoFlood", tune["NoFlood"]), ("Flood", "8"), ("Mist", "9"),
          ("M7Delay", "0."), ("M8Delay", "2."), ("SpinActual", "0"),
          ("SpinDelayCW", tune["SpinDelay"]),
          ("SpinDelayCCW", tune["SpinDelay"]),
          ("SpinDownCW", "3."), ("SpinDownCCW", "3."),
          ("SpinP", "0.25"), ("SpinI", "1."), ("SpinD", "0.3"),
          ("SpinClosed", "0"), ("PWM", tune["PWM"]),
          ("PWMBase", tune["PWMBase"]), ("PWMin", tune["PWMin"]),
          ("JogHeat", "0"), ("LaserMode", "0")]
    e += [("StockSize", "50"), ("ShowSolid", "0"), ("RapidFeed", "1.e+003"),
          ("MatRed", "0."), ("MatGreen", "0.1"), ("MatBlue", "0.1")]
    e += [("PULLEY", tune["PULLEY"])]
    for p in range(1, 16):
        speed, low, ratio = tune["pulleys"].get(p, ("1000", "0", "1."))
        e += [("SPEED%d" % p, speed), ("LSPEED%d" % p, low),
              ("SPINRATIO%d" % p, ratio), ("SPINREV%d" % p, "0")]
    for n in range(6):
        e.append(("RefSpeed%d" % n, tune["RefSpeed"][n]))
    for n in range(6):
        soft_max, soft_min, ramp, ref_home = tune["limits"][n]
        e += [("M%dMax" % n, soft_max), ("M%dMin" % n, soft_min),
              ("M%dSoftRamp" % n, ramp), ("M%dRefHome" % n, ref_home),
              ("M%dNeg" % n, tune["HomeNeg"][n]), ("M%dAutoZero" % n, "1")]
    e += [("M%dRev" % n, tune["Rev"][n]) for n in range(7)]
    e += [("OffPersist", "1"), ("OffDialogs", "1"), ("G54Back", "0"),
          ("GougeCheck", "0")]
    e += [("AxisToMotor%d" % n, str(n)) for n in range(7)]
    e += [("JogActive", "1"), ("SlowMode", "0"), ("JogPersist", "1"),
          ("ToolRotations", tune["ToolRotations"]), ("SoftLimit", "1"),
          ("SpinInc", "100"), ("BaudRate", "9600"), ("ComPort", "1"),
          ("AutoTool", "0"), ("OriginSphere", "1"), ("m_3dCompass", "1"),
          ("Boundries", "1"), ("ToolPosition", "1"), ("AParallel", "0"),
          ("ZINHPersist", "0"), ("Zinhibit", "0"), ("InhibitDepth", "0."),
          ("OVPersist", "1"), ("PathMode", tune["PathMode"]),
          ("DistanceMode", "0"), ("JogSpeed", "40."),
          ("G73PullBack", "0.5")]
    e += [("JogInc%d" % i, v) for i, v in enumerate(
        ["1.", "0.1", "1.e-002", "1.e-003", "5.", "0.5", "5.e-002",
         "5.e-003", "10.", "1.e-004"])]
    e += [("THCMax", "1."), ("THCMin", "0.2"), ("THCSpeed", "20."),
          ("BlendFactor", "180."), ("ToolPersist", "0"),
          ("DROFont", "Arial"), ("LabelFont", "Arial"),
          ("CodeFont", "Arial"), ("ButtonFont", "Arial")]
    e += [("G20" + a, tune["G28"].get(a, "0.")) for a in "XYZABC"]
    e += [("NURBS", "0"), ("HiRes", "0"), ("Rot360", "0"),
          ("ToolLines", "0"), ("UDP", "0"), ("DefDir", defdir),
          ("NewPath", "0"), ("SafeZStop", "0"), ("SafeZType", "0"),
          ("UseDiam", "0"), ("m_SafeZ", tune["SafeZ"]),
          ("CVUseAngle", tune["CVUseAngle"]),
          ("CVDegrees", tune["CVDegrees"]), ("M30SpinOff", "1"),
          ("Boxed", "1"), ("OVSpinInc", "10"), ("KeyClick", "0"),
          ("THC5", "0"), ("LastUser", tune["LastUser"]),
          ("ROTSOFT", "1"), ("PROBETLO", "0"),
          ("SlaveHome", tune["SlaveHome"]), ("Running", "0"),
          ("MenuOff", "0"), ("ZBar", "1"), ("IgnoreMacros", "0"),
          ("DwellTrigger", "0"), ("M9After", "0"), ("LockFROs", "1"),
          ("DROLOCK", "0"), ("IGNORETOOL", tune["IGNORETOOL"]),
          ("AutoTurnOff", "1"), ("AutoEStop", "0"),
          ("ToolOffsetOff", "1"), ("OptStop", "1"),
          ("ProgramSafe", "0"), ("Editor", "C:\\WINDOWS\\notepad.exe"),
          ("Sounds", "0"), ("Voices", "0")]
    for n in range(7):
        steps, vel, acc = tune["motion"][n]
        e += [("Steps%d" % n, steps), ("Vel%d" % n, vel),
              ("Acc%d" % n, acc)]
    e += [("Slave%d" % n, tune["Slave"][n]) for n in range(3)]
    e += [("GExt", "*.tap"),
          ("GPath", defdir + "\\GCode\\Bracket.tap")]
    return e


MILL_TUNE = {
    "PulseSpeed": "1",                 # 35000 Hz kernel
    "PWMBase": "7",                    # 35000 / 7 = 5000 Hz
    "PWM": "1", "PWMin": "5",
    "PulseWidth": "5", "DirPulse": "2",
    "Debounce": "0",
    "INIT": "G80 G40 G49 G17 G21 G90 G94",
    "OEM": {1: "1000", 2: "1001"},
    "Back": {"X": "2.e-002", "Y": "1.5e-002"},
    "BacklashOn": "1",
    "NoFlood": "0",
    "SpinDelay": "1.5",
    "PULLEY": "1",
    "pulleys": {1: ("1200", "100", "1."), 2: ("2500", "200", "2.083"),
                3: ("4200", "300", "3.5")},
    "RefSpeed": ["50", "50", "30", "20", "20", "20"],
    # soft max, soft min, slow zone, home offset
    "limits": [("0.", "-610.", "5.", "0"), ("0.", "-305.", "5.", "4000"),
               ("0.", "-400.", "4.", "0"), ("1.e+005", "-1.e+005", "1.", "0"),
               ("0.", "0.", "1.", "0"), ("0.", "0.", "1.", "0")],
    "HomeNeg": ["0", "0", "0", "1", "0", "0"],
    "Rev": ["0", "1", "0", "0", "0", "0", "0"],
    "ToolRotations": "1",
    "PathMode": "2",
    "G28": {"Z": "-5."},
    "SafeZ": "10.",
    "CVUseAngle": "0", "CVDegrees": "0.",
    "LastUser": "Workshop",
    "SlaveHome": "0",
    "IGNORETOOL": "0",
    # steps per unit, velocity (units/s), acceleration
    "motion": [("320.", "40.", "120."), ("320.", "40.", "120."),
               ("400.", "25.", "80."), ("8.889", "50.", "200."),
               ("1.", "1.", "1."), ("1.", "1.", "1."), ("1.", "1.", "1.")],
    "Slave": ["3", "3", "3"],
}

ROUTER_TUNE = dict(MILL_TUNE)
ROUTER_TUNE.update({
    "PulseSpeed": "0",                 # 25000 Hz kernel
    "PWMBase": "5",                    # 25000 / 5 = 5000 Hz
    "PWMin": "0",
    "Debounce": "5",
    "OEM": {},
    "Back": {},
    "BacklashOn": "0",
    "NoFlood": "1",
    "PULLEY": "0",
    "pulleys": {1: ("24000", "6000", "1.")},
    "limits": [("0.", "-1220.", "5.", "0"), ("0.", "-610.", "5.", "0"),
               ("0.", "-120.", "4.", "0"), ("0.", "-610.", "1.", "0"),
               ("0.", "0.", "1.", "0"), ("0.", "0.", "1.", "0")],
    "HomeNeg": ["0", "0", "0", "0", "0", "0"],
    "Rev": ["0", "1", "0", "1", "0", "0", "0"],
    "ToolRotations": "0",
    "PathMode": "1",
    "G28": {},
    "SafeZ": "25.",
    "LastUser": "",
    "SlaveHome": "1",
    "IGNORETOOL": "1",
    "motion": [("160.", "166.67", "400."), ("160.", "166.67", "400."),
               ("400.", "50.", "200."), ("160.", "166.67", "400."),
               ("1.", "1.", "1."), ("1.", "1.", "1."), ("1.", "1.", "1.")],
    "Slave": ["3", "0", "3"],
})


def plugins_section():
    # name, enabled; SystemTest is Mach3's own entry and never a real plug-in
    return [("SystemTest", "1"), ("VideoWindow", "1"),
            ("ShuttlePendant", "1"), ("ModbusTCP", "0"),
            ("GamepadJog", "0")]


def profile_sections(m, tune, defdir):
    prefs = preferences(m, defdir, tune)
    sections = [("Preferences", prefs)]
    if m is MILL:
        # Mach3 writes an empty value as "<X></X>"; keep one such value in
        # the mill.
        i = [k for k, _ in prefs].index("Encoder7Cal")
        prefs[i] = ("Encoder7Cal", "")
        # Only the mill has plug-ins configured.
        sections.append(("PlugIns", plugins_section()))
    # Mach3 keeps the window layout in a section named after the profile.
    sections.append((m["name"], [("WPVB", "520"), ("WPVT", "110"),
                                 ("WPVL", "60"), ("WPVR", "440")]))
    sections.append(("VideoPlugIn", [
        ("DROcolor", "0"), ("TOOLcolor", "8421440"),
        ("CROSScolor", "4194304"), ("ShowTool", "1"), ("ShowMousePos", "1"),
        ("ShowAxisPos", "1"), ("ToolDia", "0.5"),
        ("ScaleFactor", "2.e-003"), ("FlipAxis", "0")]))
    gvars = {500: "25.", 501: "-12.5", 502: "3.", 510: "1."}
    sections.append(("GCodeVar", [("GVar%d" % n, gvars.get(n, "0."))
                                  for n in range(500, 531)]))
    return sections


def profile_xml(sections):
    """One line, no declaration, no attributes, CR LF at the very end."""
    out = ["<profile>"]
    for section, entries in sections:
        out.append("<%s>" % section)
        for key, value in entries:
            out.append("<%s>%s</%s>" % (key, escape(value), key))
        out.append("</%s>" % section)
    out.append("</profile>" + CRLF)
    return "".join(out).encode("ascii")


# ---------------------------------------------------------------------------
# Fixture and tool tables.
#
# fixtures.dat as Mach3 writes it: 254 coordinate records of six
# little-endian doubles (X Y Z A B C), then 254 names, each ended by a line
# feed.  Kestrelwood reads 253 records (G54 .. G59P253) and starts the names
# right after them, so it takes the 48 bytes of the 254th record as the
# start of G54's name.  Keep that record zero and G54's name empty: the table
# then reads the same whichever way those bytes are treated.

FIXTURE_RECORDS = 254
FIXTURES_SHOWN = 253


def fixture_label(i):
    return "G5%d" % (i + 4) if i < 6 else "G59P%d" % (i + 1)


MILL_FIXTURES = {
    # index: (coordinates, name)
    0: ((125.5, 80.25, -42.1, 0, 0, 0), ""),
    1: ((-210.4375, -95.5, -118.2, 0, 0, 0), "Vise"),
    2: ((-320.0, -150.0, -60.75, 0, 0, 0), "Plate"),
    3: ((-400.0, -120.0, -90.0, 90.0, 0, 0), "Rotary"),
    11: ((0, 0, 0, 0, 0, 0), "Spare jaws"),
}

ROUTER_FIXTURES = {
    0: ((10.0, 10.0, -0.5, 0, 0, 0), ""),
    1: ((600.0, 15.0, 0.0, 0, 0, 0), "Spoilboard"),
    2: ((250.0, 300.0, -18.0, 0, 0, 0), "Sign jig"),
}


def fixtures_dat(fixtures):
    assert fixtures.get(0, ((), ""))[1] == "", "G54 must stay unnamed"
    coords = bytearray()
    names = bytearray()
    for i in range(FIXTURE_RECORDS):
        values, name = fixtures.get(i, ((0.0,) * 6, ""))
        coords += struct.pack("<6d", *values)
        names += name.encode("ascii") + b"\n"
    assert not any(coords[-48:]), "the 254th record must stay zero"
    return bytes(coords + names)


# tools3.dat as Mach3 writes it: 255 records (tool 0 .. 254), each
#   length byte L, L bytes of description,
#   8 bytes (zero), diameter (double), 26 bytes (zero),
#   diameter wear, height, height wear (doubles)
# = 67 + L bytes, followed by 255 bytes of 0x01.  Kestrelwood reads records
# 0 .. 253.  Free slots carry the description "Empty".

TOOL_RECORDS = 255

MILL_TOOLS = {
    # number: (description, diameter, diameter wear, height, height wear)
    1: ("6mm 3-flute carbide endmill", 6.0, 0.0, 35.2, 0.0),
    2: ("10mm roughing endmill", 10.0, 0.02, 42.75, 0.0),
    3: ("90 deg spot drill", 8.0, 0.0, 28.4, 0.0),
    4: ("5mm HSS drill", 5.0, 0.0, 55.1, 0.015),
    5: ("50mm face mill", 50.0, 0.0, 20.0, 0.0),
    6: ("M6 tap", 6.0, 0.0, 48.3, 0.0),
    20: ("Touch probe", 2.0, 0.0, 80.125, 0.0),
}

ROUTER_TOOLS = {
    1: ("1/4in downcut spiral", 6.35, 0.0, 22.5, 0.0),
    2: ("V-bit 90 deg", 12.7, 0.0, 19.05, 0.0),
    3: ("1in surfacing bit", 25.4, 0.0, 15.875, 0.0),
    4: ("3mm ball nose", 3.0, 0.0, 30.0, 0.0),
}


def tools3_dat(tools):
    out = bytearray()
    for n in range(TOOL_RECORDS):
        desc, dia, dia_wear, height, height_wear = tools.get(
            n, ("Empty", 0.0, 0.0, 0.0, 0.0))
        raw = desc.encode("ascii")
        assert len(raw) <= 63
        out += bytes([len(raw)]) + raw
        out += bytes(8) + struct.pack("<d", dia) + bytes(26)
        out += struct.pack("<3d", dia_wear, height, height_wear)
    out += b"\x01" * TOOL_RECORDS
    return bytes(out)


# ---------------------------------------------------------------------------
# Text files (Windows line ends, as on a Mach3 PC)


def lines(*text):
    return (CRLF.join(text) + CRLF).encode("ascii")


MACROS = {
    "Mach3Mill": {
        "M6Start.m1s": lines(
            "' Tool change, first half: park Z and ask for the new tool",
            "tool = GetSelectedTool()",
            "SetCurrentTool(tool)",
            "Code \"G53 G0 Z0\"",
            "While IsMoving()",
            "Wend",
            "Message \"Load tool \" & tool & \" and press Cycle Start\""),
        "M6End.m1s": lines(
            "' Tool change, second half: take the new tool length",
            "Code \"G43 H\" & GetCurrentTool()"),
        "M1001.m1s": lines(
            "' Park the spindle at the back of the table",
            "Code \"G53 G0 Z0\"",
            "While IsMoving()",
            "Wend",
            "Code \"G53 G0 X-10 Y-290\""),
    },
    "SmallRouter": {
        "M6Start.m1s": lines(
            "' Manual tool change: lift, move to the front and wait",
            "tool = GetSelectedTool()",
            "Code \"G53 G0 Z-5\"",
            "Code \"G53 G0 X-600 Y-600\"",
            "While IsMoving()",
            "Wend",
            "SetCurrentTool(tool)",
            "Message \"Change to tool \" & tool"),
        "M6End.m1s": lines(
            "' Nothing to restore after a manual change"),
        "M1001.m1s": lines(
            "' Vacuum table on",
            "ActivateSignal(OUTPUT2)"),
        "M1002.m1s": lines(
            "' Vacuum table off",
            "DeActivateSignal(OUTPUT2)"),
    },
}

OTHER_FILES = {
    "Mach3.exe": lines(
        "Placeholder for Mach3.exe in the Kestrelwood sample folder.",
        "It is not a program; Kestrelwood only checks that the file exists."),
    "Brains/SpindleInterlock.brn": lines(
        "Brain SpindleInterlock",
        "Input EStop -> NOT -> Output Enable1",
        "Input OEMTrig2 -> AND Spindle -> OEMCode 1001"),
    "GCode/Bracket.tap": lines(
        "(Bracket - two holes and a slot)",
        "G21 G90 G94 G17",
        "T1 M6",
        "S2500 M3",
        "G0 Z5",
        "G0 X10 Y10",
        "G1 Z-3 F150",
        "G1 X60 F400",
        "G1 Y30",
        "G1 X10",
        "G1 Y10",
        "G0 Z5",
        "G81 X20 Y20 Z-12 R2 F120",
        "X50",
        "G80",
        "M5",
        "G0 Z25",
        "M30"),
    "SubRoutines/PeckSlot.tap": lines(
        "(Slot in 1 mm passes, called with M98 P1000 L5)",
        "O1000",
        "G91 G1 Z-1 F100",
        "G90 G1 X40 F400",
        "G1 X0",
        "M99"),
    "Addons/Facing/Facing.txt": lines(
        "(Facing pass template)",
        "G21 G90",
        "G0 X0 Y0",
        "G1 Z-0.5 F200",
        "G1 X100 F800",
        "G1 Y10",
        "G1 X0",
        "G0 Z5"),
}


# ---------------------------------------------------------------------------
# Assembly


MACHINES = [(MILL, MILL_TUNE, MILL_FIXTURES, MILL_TOOLS),
            (ROUTER, ROUTER_TUNE, ROUTER_FIXTURES, ROUTER_TOOLS)]


def build(defdir):
    """Return {relative path (with /): file contents}."""
    files = dict(OTHER_FILES)
    for m, tune, fixtures, tools in MACHINES:
        name = m["name"]
        files[name + ".xml"] = profile_xml(profile_sections(m, tune, defdir))
        base = "macros/%s/" % name
        files[base + "fixtures.dat"] = fixtures_dat(fixtures)
        files[base + "tools3.dat"] = tools3_dat(tools)
        for macro, data in MACROS[name].items():
            files[base + macro] = data
    return files


def write(out, files):
    for rel, data in sorted(files.items()):
        path = os.path.join(out, *rel.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print("wrote %s (%d bytes)" % (os.path.relpath(path), len(data)))


# ---------------------------------------------------------------------------
# Check: read the files back the way Kestrelwood reads them.


class CheckError(Exception):
    pass


def expect(cond, msg):
    if not cond:
        raise CheckError(msg)


def read_profile(path):
    """Entries (path, name, value) of every element with text, with paths
    written as Kestrelwood writes them ("profile / Preferences / ")."""
    raw = open(path, "rb").read()
    expect(not raw.startswith(b"<?xml"), "%s: no XML declaration" % path)
    expect(raw.endswith(b"</profile>\r\n"), "%s: must end in CR LF" % path)
    expect(b"\n" not in raw[:-1] and b"\r" not in raw[:-2],
           "%s: must be a single line" % path)
    root = ET.fromstring(raw)
    expect(root.tag == "profile", "%s: root is not profile" % path)
    entries = []
    for section in root:
        expect(not section.attrib and not (section.text or "").strip(),
               "%s: section %s holds text or attributes" % (path, section.tag))
        expect(len(section) > 0, "%s: empty section %s" % (path, section.tag))
        for value in section:
            expect(len(value) == 0 and not value.attrib,
                   "%s: %s/%s is not a plain value" %
                   (path, section.tag, value.tag))
            # "<X></X>" is an entry with an empty value
            entries.append(("profile / %s / " % section.tag, value.tag,
                            value.text or ""))
    return entries


def find_preference(entries, key):
    """First entry two levels down whose section name has 11 characters."""
    for p, name, value in entries:
        if len(p) == 24 and name == key:
            return value
    return None


def to_int(text):
    text = (text or "").lstrip()
    digits = ""
    for i, ch in enumerate(text):
        if ch.isdigit() or (i == 0 and ch in "+-"):
            digits += ch
        else:
            break
    try:
        return int(digits)
    except ValueError:
        return 0


OUT_PINS = {1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16, 17}
IN_PINS = {10, 11, 12, 13, 15}


def pin_report(entries):
    """Return (uses, wrong) for the active signals: uses maps (port, pin) to
    a list of (kind, signal) and wrong lists signals against their pin's
    direction or on a ground pin."""
    get = lambda k: to_int(find_preference(entries, k))
    port2input = get("Port2Input")
    signals = []
    for n in range(8):
        if get("Motor%dActive" % n):
            signals.append(("out", "Dir motor %d" % n,
                            get("Motor%dDirPort" % n), get("Motor%dDirPin" % n)))
            signals.append(("out", "Step motor %d" % n,
                            get("Motor%dStepPort" % n),
                            get("Motor%dStepPin" % n)))
    for n in range(8):
        if get("Encoder%dActive" % n):
            for line in "AB":
                signals.append(("in", "Encoder%d %s" % (n, line),
                                get("Encoder%d%sPort" % (n, line)),
                                get("Encoder%d%sPin" % (n, line))))
    for n in range(53):
        if get("Input%dActive" % n):
            signals.append(("in", "Input %d" % n, get("Input%dPort" % n),
                            get("Input%dPin" % n)))
    for n in range(31):
        if get("Output%dActive" % n):
            signals.append(("out", "Output %d" % n, get("Output%dPort" % n),
                            get("Output%dPin" % n)))
    uses, wrong = {}, []
    for kind, name, port, pin in signals:
        expect(1 <= port <= 8 and 1 <= pin <= 25,
               "%s on port %d pin %d: bad number" % (name, port, pin))
        uses.setdefault((port, pin), []).append((kind, name))
        as_input = pin in IN_PINS or (port2input and port == 2
                                      and 2 <= pin <= 9)
        if pin >= 18 or (kind == "in") != as_input:
            wrong.append((name, port, pin))
    return uses, wrong


REQUIRED_KEYS = ["DefDir", "Profile", "Port1On", "Port1Add", "Port2On",
                 "Port2Add", "Port2Input", "Motor0Active", "Motor6StepPin",
                 "Input52EmuKey", "Output30Neg", "Encoder7BPin", "M6Rev",
                 "Steps0", "Vel0", "Acc0", "DirPulse", "PulseWidth",
                 "PulseSpeed", "PWMBase", "PULLEY", "SPEED1", "SPINREV15",
                 "JogInc9", "AxisKeys11", "OEM15", "MPGVel6", "RefSpeed5",
                 "M5RefHome", "G20C", "Slave2", "m_SafeZ", "Units",
                 "PathMode", "IGNORETOOL", "AutoTool"]


def check_profile(path, m, defdir):
    entries = read_profile(path)
    expect(500 <= len(entries) <= 1500,
           "%s: %d entries" % (path, len(entries)))
    for key in REQUIRED_KEYS:
        expect(find_preference(entries, key) is not None,
               "%s: key %s not found" % (path, key))
    expect(find_preference(entries, "Profile") == m["name"],
           "%s: Profile key" % path)
    expect(find_preference(entries, "DefDir") == defdir,
           "%s: DefDir key" % path)
    names = [n for _, n, _ in entries if _ == "profile / Preferences / "]
    expect(len(names) == len(set(names)), "%s: duplicate keys" % path)
    plugins = [(n, v) for p, n, v in entries if p == "profile / PlugIns / "]
    uses, wrong = pin_report(entries)
    expect(not wrong, "%s: signals against pin direction: %s" % (path, wrong))
    shared_outputs = {k: v for k, v in uses.items()
                      if len(v) > 1 and any(kind == "out" for kind, _ in v)}
    shared_inputs = sorted(k for k, v in uses.items()
                           if len(v) > 1 and k not in shared_outputs)
    return entries, plugins, shared_outputs, shared_inputs


def check_fixtures(path, expected):
    data = open(path, "rb").read()
    names_len = sum(len(expected.get(i, (None, ""))[1]) + 1
                    for i in range(FIXTURE_RECORDS))
    expect(len(data) == FIXTURE_RECORDS * 48 + names_len,
           "%s: size %d" % (path, len(data)))
    # As Kestrelwood reads it: 253 records, then the names.
    shown = FIXTURES_SHOWN * 48
    values = struct.unpack("<%dd" % (FIXTURES_SHOWN * 6), data[:shown])
    names = data[shown:].split(b"\n")
    expect(names[0] == bytes(48),
           "%s: first name must be the 48 zero bytes of record 254" % path)
    used = []
    for i in range(FIXTURES_SHOWN):
        coords = values[6 * i:6 * i + 6]
        name = names[i].strip(b"\0").decode("ascii")
        want_coords, want_name = expected.get(i, ((0.0,) * 6, ""))
        expect(tuple(coords) == tuple(float(c) for c in want_coords)
               and name == want_name,
               "%s: %s reads %s %r" % (path, fixture_label(i), coords, name))
        if any(coords) or name:
            used.append("%s %s %s" % (fixture_label(i), name or "-", " ".join(
                "%0.4f" % c for c in coords)))
    return len(data), used


def check_tools(path, expected):
    data = open(path, "rb").read()
    size = sum(67 + len(expected.get(n, ("Empty",))[0])
               for n in range(TOOL_RECORDS)) + TOOL_RECORDS
    expect(len(data) == size, "%s: size %d, expected %d" %
           (path, len(data), size))
    expect(data[-TOOL_RECORDS:] == b"\x01" * TOOL_RECORDS,
           "%s: trailer" % path)
    off, valid = 0, []
    for n in range(TOOL_RECORDS - 1):          # Kestrelwood reads 254 slots
        length = data[off]
        desc = data[off + 1:off + 1 + length].decode("ascii")
        dia, = struct.unpack_from("<d", data, off + 9 + length)
        dia_wear, height, height_wear = struct.unpack_from(
            "<3d", data, off + 43 + length)
        expect(not any(data[off + 1 + length:off + 9 + length]) and
               not any(data[off + 17 + length:off + 43 + length]),
               "%s: tool %d: unused bytes not zero" % (path, n))
        want = expected.get(n, ("Empty", 0.0, 0.0, 0.0, 0.0))
        expect((desc, dia, dia_wear, height, height_wear) == want,
               "%s: tool %d reads %r" % (path, n, desc))
        if desc.lower() != "empty":
            valid.append("T%d %s D%0.6f H%0.6f" % (n, desc, dia, height))
        off += 67 + length
    return len(data), valid


def check(out, defdir):
    files = build(defdir)
    for rel in sorted(files):
        expect(os.path.isfile(os.path.join(out, *rel.split("/"))),
               "missing %s" % rel)

    profiles = {}
    for m, tune, fixtures, tools in MACHINES:
        name = m["name"]
        entries, plugins, shared_out, shared_in = check_profile(
            os.path.join(out, name + ".xml"), m, defdir)
        profiles[name] = entries
        print("%s.xml: %d entries, plug-ins %s" % (name, len(entries),
                                                  plugins or "none"))
        print("  pins shared by inputs (port, pin): %s" % shared_in)
        for (port, pin), sigs in sorted(shared_out.items()):
            print("  CONFLICT port %d pin %d: %s" %
                  (port, pin, ", ".join(s for _, s in sigs)))
        mdir = os.path.join(out, "macros", name)
        size, used = check_fixtures(os.path.join(mdir, "fixtures.dat"),
                                    fixtures)
        print("  fixtures.dat %d bytes; in use: %s" % (size, "; ".join(used)))
        size, valid = check_tools(os.path.join(mdir, "tools3.dat"), tools)
        print("  tools3.dat %d bytes; tools: %s" % (size, "; ".join(valid)))
        if m is MILL:
            expect(not shared_out, "the mill must have no pin conflict")
            expect(plugins, "the mill must have plug-ins")
        else:
            expect(list(shared_out) == [(1, 17)],
                   "the router's charge pump / spindle conflict is missing")
            expect(not plugins, "only the mill has plug-ins")

    mill = {(p, n): v for p, n, v in profiles["Mach3Mill"]}
    router = {(p, n): v for p, n, v in profiles["SmallRouter"]}
    differ = sorted(n for k, n in ((k, k[1]) for k in mill)
                    if k in router and mill[k] != router[k])
    only = len(set(mill) ^ set(router))
    print("compare: %d keys differ, %d only in one profile" %
          (len(differ), only))

    stale = [rel for rel, data in sorted(files.items())
             if open(os.path.join(out, *rel.split("/")), "rb").read() != data]
    expect(not stale, "out of date, run make_samples.py: %s" % stale)
    print("check passed")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=DEFAULT_OUT)
    ap.add_argument("--defdir", default=DEFAULT_DEFDIR)
    ap.add_argument("--check", action="store_true",
                    help="verify the files instead of writing them")
    args = ap.parse_args()
    if args.check:
        try:
            check(args.out, args.defdir)
        except CheckError as err:
            print("check failed: %s" % err)
            return 1
        return 0
    write(args.out, build(args.defdir))
    return 0


if __name__ == "__main__":
    sys.exit(main())
