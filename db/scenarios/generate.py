#!/usr/bin/env python3
"""Writes the delivered paddy scenarios: their model templates, three years of daily
weather, ponding and rain data, their interception tables and an example application
scheme, as the SQL script scenarios.sql; and the example project that uses them, as
example-project.sql.

The weather is synthetic but plausible for the place: a seasonal cycle of temperature,
radiation and monthly rain with seeded noise from our own generator, so that the output is
the same on every machine and Python version.

    python3 generate.py            writes scenarios.sql and example-project.sql beside this script
    python3 generate.py --check    fails when either is not up to date
"""

import math
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]

# BBCH.ID of the rice growth stages in the reference data (code -> ID).
BBCH_ID = {"00": 1, "10": 8, "13": 11, "21": 18, "30": 27, "51": 37, "61": 46, "71": 49,
           "89": 56}

SCENARIOS = [
    {
        "id": 1,
        "caption": "Jinhua",
        "description": "Jinhua, Zhejiang: single-season rice on a red-earth paddy soil, "
                       "pond of 1000 m3 beside a 1 ha field",
        "years": (2000, 2002),
        "seed": 20000101,
        "temperature": (17.5, 12.0, 8.0),  # annual mean, amplitude, daily range (C)
        "radiation": (7.5, 19.5),  # clear-day minimum and maximum (MJ.m-2.d-1)
        "rain": [75, 95, 160, 170, 185, 250, 140, 140, 90, 60, 65, 50],  # mm per month
        "wet": [0.40, 0.45, 0.55, 0.55, 0.55, 0.60, 0.45, 0.45, 0.35, 0.30, 0.33, 0.33],
        # flooding, mid-season drainage, re-flooding and final drainage (day, month)
        "flooding": [((25, 5), (9, 7)), ((20, 7), (24, 9))],
        "pond_target": (50.0, 30.0, 80.0),  # target, irrigate below, weir height (mm)
        "percolation": 3.0,
        "soil": {"CntOm": 0.036, "RhoSol": 1.20, "ThetaSat": 0.55, "ThetaFc": 0.40,
                 "ThiTopSol": 0.05, "FlvPerPnd": 3.0, "CofMasTraWatSol": 0.01,
                 "TimConTemSol": 2.0, "DepPndMin": 1.0},
        "pond": {"VolWat": 1000.0, "DepWat": 1.0, "AreaFieldDrained": 10000.0,
                 "FlwBas": 20.0, "ThiSed": 0.05, "RhoSed": 0.80, "ThetaSed": 0.60,
                 "CntOmSed": 0.09, "CofMasTraSed": 0.01},
        # begin (day, month), end (day, month), BBCH code, intercepted fraction
        "interceptions": [
            ((1, 1), (31, 5), "00", 0.00),
            ((1, 6), (15, 6), "13", 0.10),
            ((16, 6), (10, 7), "21", 0.25),
            ((11, 7), (31, 7), "30", 0.50),
            ((1, 8), (20, 8), "51", 0.70),
            ((21, 8), (5, 9), "61", 0.80),
            ((6, 9), (30, 9), "71", 0.80),
            ((1, 10), (15, 10), "89", 0.70),
            ((16, 10), (31, 12), "00", 0.00),
        ],
    },
    {
        "id": 2,
        "caption": "Nanchang",
        "description": "Nanchang, Jiangxi: single-season rice on an alluvial paddy soil near "
                       "Poyang Lake, pond of 1500 m3 beside a 1.2 ha field",
        "years": (2004, 2006),
        "seed": 20040101,
        "temperature": (17.8, 12.5, 7.5),
        "radiation": (7.0, 20.0),
        "rain": [75, 105, 175, 225, 245, 300, 145, 125, 75, 65, 70, 45],
        "wet": [0.42, 0.48, 0.58, 0.58, 0.58, 0.62, 0.45, 0.42, 0.33, 0.30, 0.35, 0.32],
        "flooding": [((20, 5), (4, 7)), ((15, 7), (19, 9))],
        "pond_target": (50.0, 30.0, 80.0),
        "percolation": 4.0,
        "soil": {"CntOm": 0.028, "RhoSol": 1.30, "ThetaSat": 0.50, "ThetaFc": 0.36,
                 "ThiTopSol": 0.05, "FlvPerPnd": 4.0, "CofMasTraWatSol": 0.01,
                 "TimConTemSol": 2.0, "DepPndMin": 1.0},
        "pond": {"VolWat": 1500.0, "DepWat": 1.2, "AreaFieldDrained": 12000.0,
                 "FlwBas": 30.0, "ThiSed": 0.05, "RhoSed": 0.85, "ThetaSed": 0.58,
                 "CntOmSed": 0.07, "CofMasTraSed": 0.01},
        "interceptions": [
            ((1, 1), (25, 5), "00", 0.00),
            ((26, 5), (10, 6), "13", 0.10),
            ((11, 6), (5, 7), "21", 0.25),
            ((6, 7), (25, 7), "30", 0.50),
            ((26, 7), (15, 8), "51", 0.70),
            ((16, 8), (31, 8), "61", 0.80),
            ((1, 9), (25, 9), "71", 0.80),
            ((26, 9), (10, 10), "89", 0.70),
            ((11, 10), (31, 12), "00", 0.00),
        ],
    },
]

SCHEME = {
    "id": 1,
    "caption": "Two crop sprays",
    "description": "Example: two sprays of 0.5 kg/ha on the crop, at tillering (20 June) and "
                   "at stem elongation (20 July), 2 percent spray drift onto the pond",
    # application ID, type ID (1: AppCrpUsr), date, dosage (kg/ha), parameter, drift (%)
    "applications": [(1, 1, "2001-06-20", 0.5, 0.0, 2.0), (2, 1, "2001-07-20", 0.5, 0.0, 2.0)],
}

# The example project of every database made with the delivered scenarios: one assessment of
# the first scenario, the first substance of the DAXO stand-in (ALPHA) and the example scheme,
# marked for execution, so that a new user presses "Calculate" and gets a report. The
# checksum is the stand-in's GetSubstanceChecksumByGUID of ALPHA (tested), so that the
# substance change check does not take a first run's results for stale ones.
EXAMPLE = {
    "project": (1, "Example", "Example project of the delivered scenarios",
                "Run it with Calculate, then open the Assessment report."),
    "assessment": (1, "Example", "ALPHA on the Jinhua scenario with two crop sprays"),
    "substance_guid": "{5EED0DA0-7A11-4C0E-9D00-000000000001}",
    "substance_checksum": "4CCBEA3F350D886F",
    "created": "2024-01-01 00:00:00",
}


class Random:
    """xorshift64*: small, seeded and the same everywhere."""

    def __init__(self, seed):
        self.state = (seed * 2685821657736338717 + 1) & 0xFFFFFFFFFFFFFFFF or 1

    def uniform(self):
        x = self.state
        x ^= (x >> 12)
        x ^= (x << 25) & 0xFFFFFFFFFFFFFFFF
        x ^= (x >> 27)
        self.state = x
        return (((x * 2685821657736338717) & 0xFFFFFFFFFFFFFFFF) >> 11) / float(1 << 53)

    def normal(self):
        u1 = max(self.uniform(), 1e-12)
        return math.sqrt(-2.0 * math.log(u1)) * math.cos(2.0 * math.pi * self.uniform())


def days_in_month(year, month):
    if month == 2:
        return 29 if (year % 4 == 0 and year % 100 != 0) or year % 400 == 0 else 28
    return [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][month - 1]


def all_days(first, last):
    for year in range(first, last + 1):
        doy = 0
        for month in range(1, 13):
            for day in range(1, days_in_month(year, month) + 1):
                doy += 1
                yield year, month, day, doy


def date_text(year, month, day):
    return "%02d-%s-%04d" % (day, MONTHS[month - 1], year)


def weather(scenario):
    """Rows (year, month, day, tmin, tmax, radiation, rain)."""
    rng = Random(scenario["seed"])
    mean, amplitude, daily_range = scenario["temperature"]
    rad_low, rad_high = scenario["radiation"]
    anomaly = 0.0
    wet_yesterday = False
    rows = []
    for year, month, day, doy in all_days(*scenario["years"]):
        season = -math.cos(2.0 * math.pi * (doy - 15) / 365.25)  # -1 mid January
        anomaly = 0.7 * anomaly + 1.4 * rng.normal()
        p_wet = scenario["wet"][month - 1]
        p_wet = min(0.95, p_wet + 0.15) if wet_yesterday else max(0.05, p_wet - 0.10)
        wet = rng.uniform() < p_wet
        wet_yesterday = wet
        month_days = days_in_month(year, month)
        mean_amount = scenario["rain"][month - 1] / (month_days * scenario["wet"][month - 1])
        rain = -mean_amount * math.log(max(rng.uniform(), 1e-9)) if wet else 0.0
        t = mean + amplitude * season + anomaly
        spread = daily_range * (0.6 if wet else 1.0) * (1.0 + 0.15 * rng.normal())
        spread = max(1.0, spread)
        clear = rad_low + (rad_high - rad_low) * 0.5 * (1.0 + season)
        radiation = clear * ((0.35 + 0.2 * rng.uniform()) if wet else (0.75 + 0.25 * rng.uniform()))
        rows.append((year, month, day, t - spread / 2, t + spread / 2, radiation, rain))
    return rows


def flooded(scenario, month, day):
    for (bd, bm), (ed, em) in scenario["flooding"]:
        if (bm, bd) <= (month, day) <= (em, ed):
            return True
    return False


def ponding(scenario, rows):
    """Rows (depth mm, outflow mm/d): a simple daily water balance of the flooded paddy with
    irrigation to the target depth, overflow above the weir and drainage when the flooding
    period ends."""
    target, irrigate_below, weir = scenario["pond_target"]
    depth = 0.0
    result = []
    for (year, month, day, tmin, tmax, radiation, rain) in rows:
        outflow = 0.0
        if flooded(scenario, month, day):
            evaporation = 0.28 * radiation
            if depth == 0.0:
                depth = target
            depth += rain - evaporation - scenario["percolation"]
            if depth < irrigate_below:
                depth = target
            if depth > weir:
                outflow = depth - weir
                depth = weir
        elif depth > 0.0:
            outflow = depth  # drained at the end of a flooding period
            depth = 0.0
        result.append((depth, outflow))
    return result


def series_text(title, header, lines):
    return "\n".join(["* " + title, "* " + header] + lines) + "\n"


def meteo_text(scenario, rows):
    lines = ["%s %7.1f %7.1f %7.2f %7.1f" % (date_text(y, m, d), tmin, tmax, rad, rain)
             for (y, m, d, tmin, tmax, rad, rain) in rows]
    return series_text("Daily weather of " + scenario["caption"] + " (synthetic)",
                       "Date        TemMin (C) TemMax (C) Rad (MJ.m-2.d-1) Rain (mm.d-1)", lines)


def pond_text(scenario, rows, pond):
    lines = ["%s %8.1f %8.1f" % (date_text(y, m, d), depth, outflow)
             for (y, m, d, *_), (depth, outflow) in zip(rows, pond)]
    return series_text("Ponding regime of the paddy at " + scenario["caption"],
                       "Date        DepPnd (mm) FlvOut (mm.d-1)", lines)


def rain_text(scenario, rows):
    lines = ["%s %7.1f" % (date_text(y, m, d), rain) for (y, m, d, *_, rain) in rows]
    return series_text("Daily rain on the pond at " + scenario["caption"],
                       "Date        Rain (mm.d-1)", lines)


def template_text(name, scenario):
    text = (HERE / "templates" / (name + ".template")).read_text()
    values = dict(scenario["soil"], **scenario["pond"])
    values.update(CAPTION=scenario["caption"], DESCRIPTION=scenario["description"])
    return text.format(**values)


def quote(text):
    # The scripts are split into statements by an SQL-aware splitter, yet keeping ";" and "--"
    # out of the long texts leaves any simpler reader on the safe side too.
    assert ";" not in text and "--" not in text, "text would confuse a statement splitter"
    return "'" + text.replace("'", "''") + "'"


def scenario_sql(scenario):
    rows = weather(scenario)
    pond = ponding(scenario, rows)
    sid = scenario["id"]
    first, last = scenario["years"]
    meteo = meteo_text(scenario, rows)
    texts = [
        ("GLIDAR_data", template_text("GLIDAR", scenario)),
        ("MUNDRE_data", template_text("MUNDRE", scenario)),
        ("GLIDAR_meteo", meteo),
        ("MUNDRE_meteo", meteo),
        ("GLIDAR_pond", pond_text(scenario, rows, pond)),
        ("MUNDRE_rain", rain_text(scenario, rows)),
    ]
    sql = ["-- Scenario %s" % scenario["caption"],
           "INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, ENDYEAR) "
           "VALUES (%d, %s, %s, %d, %d);" % (sid, quote(scenario["caption"]),
                                             quote(scenario["description"]), first, last)]
    for column, text in texts:
        sql.append("UPDATE SCENARIOS SET %s = %s WHERE SCENARIOID = %d;" % (column, quote(text), sid))
    return sql


def interception_sql():
    sql = ["-- Crop interception by period"]
    key = 0
    for scenario in SCENARIOS:
        for (bd, bm), (ed, em), code, fraction in scenario["interceptions"]:
            key += 1
            sql.append("INSERT INTO Interceptions (InterceptionID, ScenarioID, BBCH_ID, BeginDay, "
                       "BeginMonth, EndDay, EndMonth, InterceptionFraction) VALUES "
                       "(%d, %d, %d, %d, %d, %d, %d, %.2f);"
                       % (key, scenario["id"], BBCH_ID[code], bd, bm, ed, em, fraction))
    return sql


def scheme_sql():
    sql = ["-- Example application scheme",
           "INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, DESCRIPTION) "
           "VALUES (%d, %s, %s);" % (SCHEME["id"], quote(SCHEME["caption"]),
                                     quote(SCHEME["description"]))]
    for aid, type_id, date, dosage, parameter, drift in SCHEME["applications"]:
        sql.append("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, "
                   "APPLICATIONTYPEID, APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, "
                   "SPRAYDRIFTPERC) VALUES (%d, %d, %d, '%s 00:00:00', %.4f, %.4f, %.4f);"
                   % (aid, SCHEME["id"], type_id, date, dosage, parameter, drift))
    return sql


def counter_sql():
    highest = {"SCENARIOS": max(s["id"] for s in SCENARIOS),
               "APPLICATIONSCHEMES": SCHEME["id"],
               "APPLICATIONS": max(a[0] for a in SCHEME["applications"])}
    names = ", ".join("'%s'" % name for name in highest)
    sql = ["-- Key counters past the delivered rows, so that new rows get fresh keys",
           "DELETE FROM SYSTABLES WHERE TABLENAME IN (%s);" % names]
    for name, value in highest.items():
        sql.append("INSERT INTO SYSTABLES (TABLENAME, HIGHESTID) VALUES ('%s', %d);" % (name, value))
    return sql


def example_project_script():
    pid, caption, description, comment = EXAMPLE["project"]
    aid, acaption, adescription = EXAMPLE["assessment"]
    created = EXAMPLE["created"]
    sql = ["-- The example project of a new database with the delivered scenarios: one",
           "-- assessment of the first scenario, the first substance and the example scheme,",
           "-- marked for execution.",
           "-- Generated by db/scenarios/generate.py; do not edit.",
           "",
           "INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, "
           "MODIFICATIONDATE, BUSY, COMMENT, LOCKED) VALUES (%d, %s, %s, '%s', '%s', FALSE, "
           "%s, FALSE);" % (pid, quote(caption), quote(description), created, created,
                            quote(comment)),
           "INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, SCENARIOID, "
           "SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, SELECTEDFOREXECUTION, "
           "ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, CREATIONDATE, MODIFICATIONDATE, "
           "COMMENT) VALUES (%d, %s, %s, %d, %d, %s, %d, %s, TRUE, '', '', FALSE, '%s', '%s', "
           "'');" % (aid, quote(acaption), quote(adescription), pid, SCENARIOS[0]["id"],
                     quote(EXAMPLE["substance_guid"]), SCHEME["id"],
                     quote(EXAMPLE["substance_checksum"]), created, created),
           "",
           "-- Key counters past the example rows",
           "DELETE FROM SYSTABLES WHERE TABLENAME IN ('PROJECTS', 'ASSESSMENTS');",
           "INSERT INTO SYSTABLES (TABLENAME, HIGHESTID) VALUES ('PROJECTS', %d);" % pid,
           "INSERT INTO SYSTABLES (TABLENAME, HIGHESTID) VALUES ('ASSESSMENTS', %d);" % aid]
    return "\n".join(sql) + "\n"


def script():
    sql = ["-- The delivered paddy scenarios with their model templates, weather, ponding and",
           "-- rain data and interceptions, and an example application scheme.",
           "-- Generated by db/scenarios/generate.py from db/scenarios/templates; do not edit.",
           ""]
    for scenario in SCENARIOS:
        sql += scenario_sql(scenario) + [""]
    sql += interception_sql() + [""] + scheme_sql() + [""] + counter_sql()
    return "\n".join(sql) + "\n"


def main(argv):
    scripts = {"scenarios.sql": script(), "example-project.sql": example_project_script()}
    if "--check" in argv:
        stale = [name for name, text in scripts.items()
                 if not (HERE / name).exists() or (HERE / name).read_text() != text]
        for name in stale:
            print("%s is not up to date: run db/scenarios/generate.py" % name)
        return 1 if stale else 0
    for name, text in scripts.items():
        (HERE / name).write_text(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
