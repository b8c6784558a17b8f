#!/usr/bin/env python3
"""Writes the game of the report golden cases as a transfer file:

    make_report_game.py > tests/data/reports/playbyplay/game.log

A short game of four periods and an overtime that holds every kind of action and of follow-up
chain: assisted, blocked and rebounded shots, steals and turnovers both ways, shooting, technical,
unsportsmanlike, disqualifying and offensive fouls with their free throws, a foul-out substitution
before an offensive foul's turnover, the unknown player, time-outs of both teams and a commercial
one, a comment, shirts "0" and "00", a roster of fourteen and a basket at a period's last second.
"""

import sys
from xml.sax.saxutils import quoteattr

CHOICES = {
    "shot": {"Made": ["Made", "Missed", "Blocked"],
             "Shot type": ["Jump shot", "Lay-up", "Dunk", "Tap-in", "Alley-oop"],
             "CounterAttack": ["True", "False"]},
    "reb": {"Type": ["Offensive", "Defensive"]},
    "fthrow": {"Throws Left": ["1", "2", "3"], "Made": ["Made", "Missed"], "CounterAttack": ["True", "False"]},
    "foul": {"Type": ["Personal", "Technical", "Unsportsmanlike", "Disqualifying"],
             "Type of personal": ["Non-shooting", "Shooting", "Offensive"], "Shots to make": ["0", "1", "2", "3"]},
    "turnover": {"Type": ["Out of bounds", "Travelling", "Bad Pass", "Ball Handling", "3 secs", "5 secs", "8 secs",
                          "24 secs", "Backcourt violation", "Offensive foul", "Other"]},
    "timeout": {"Team": ["Commercial", "First Team", "Second Team"]},
    "quarter": {"Type": ["Start", "End", "End Game", "Start Game"]},
}
NAMES = {"shot": "Tiro", "reb": "Rebote", "fthrow": "Tiro Libre", "foul": "Falta", "turnover": "Perdida de balón",
         "steal": "Recuperación", "assist": "Asistencia", "block": "Tapón", "subst": "Sustitución",
         "timeout": "Tiempo muerto", "quarter": "Cuarto", "comment": "Comentarios"}
TYPES = {"Team": "team", "Player": "player", "Player In": "player", "Player Out": "player", "Fouled on": "player",
         "Coordinates": "coordinates", "Points": "number", "Throw Number": "number", "Quarter": "number",
         "Team1Score": "number", "Team2Score": "number", "Comment": "text"}

actions = []
clock = 0


def clock_text(seconds):
    return "%02d:%02d:%02d" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def add(kind, params, follows=None, at=None):
    global clock
    if at is not None:
        clock = at
    number = len(actions) + 1
    guid = "{%08X-0000-4000-8000-%012X}" % (number, number)
    parts = []
    for name, value in params:
        choices = CHOICES.get(kind, {}).get(name)
        if kind == "timeout" and name == "Team":
            parts.append('<PARAM Name="Team" Type="choice" Data=%s>%s</PARAM>' % (
                quoteattr(value), "".join("<VALUE>%s</VALUE>" % c for c in choices)))
        elif choices:
            parts.append('<PARAM Name=%s Type="choice" Data="%d">%s</PARAM>' % (
                quoteattr(name), choices.index(value), "".join("<VALUE>%s</VALUE>" % c for c in choices)))
        else:
            parts.append('<PARAM Name=%s Type="%s" Data=%s/>' % (quoteattr(name), TYPES[name], quoteattr(value)))
    follow = ' FollowUpID="%s"' % follows if follows else ""
    actions.append('<ACTION GameNumber="PBP-0518" ID="%s" AstroTime="19:00:00" GameTime="%s" ShortName="%s" '
                   'Name="%s" Complete="True" Shortcut="" NParameters="%d"%s>%s</ACTION>' % (
                       guid, clock_text(clock), kind, NAMES[kind], len(params), follow, "".join(parts)))
    return guid


def shot(team, player, made, points=2, kind="Jump shot", follows=None, at=None):
    return add("shot", [("Team", team), ("Player", player), ("Coordinates", "139+60" if points == 2 else "40+20"),
                        ("Made", made), ("Shot type", kind), ("Points", str(points)), ("CounterAttack", "False")],
               follows, at)


def simple(kind, team, player, follows=None, extra=()):
    return add(kind, [("Team", team), ("Player", player)] + list(extra), follows)


def rebound(team, player, kind, follows):
    return simple("reb", team, player, follows, [("Type", kind)])


def foul(team, player, fouled="0", kind="Personal", personal="Non-shooting", shots="0", at=None):
    return add("foul", [("Team", team), ("Player", player), ("Type", kind), ("Fouled on", fouled),
                        ("Type of personal", personal), ("Shots to make", shots)], at=at)


def free_throw(team, player, number, left, made, follows):
    return add("fthrow", [("Team", team), ("Player", player), ("Throws Left", left), ("Throw Number", number),
                          ("Made", made), ("CounterAttack", "False")], follows)


def subst(team, out, into, follows=None, at=None):
    return add("subst", [("Team", team), ("Player Out", out), ("Player In", into)], follows, at)


def period(number, kind, at):
    add("quarter", [("Quarter", str(number)), ("Type", kind)], at=at)


def tick(seconds):
    global clock
    clock += seconds


period(1, "Start Game", 0)
for team, shirts in (("1", ["4", "5", "6", "7", "210"]), ("2", ["5", "7", "9", "10", "200"])):
    for shirt in shirts:
        subst(team, "0", shirt)
tick(25)
s = shot("1", "7", "Made")
simple("assist", "1", "5", s)
tick(20)
s = shot("2", "9", "Missed", 3)
rebound("1", "4", "Defensive", s)
tick(18)
s = shot("1", "6", "Blocked", kind="Lay-up")
simple("block", "2", "10", s)
rebound("2", "200", "Defensive", s)
tick(15)
s = shot("2", "5", "Missed")
rebound("2", "7", "Offensive", s)
tick(2)
shot("2", "7", "Made", kind="Tap-in")
tick(22)
t = simple("turnover", "1", "210", extra=[("Type", "Bad Pass")])
simple("steal", "2", "9", t)
tick(5)
s = shot("2", "9", "Made", kind="Dunk")
tick(19)
st = simple("steal", "1", "4")
simple("turnover", "2", "10", st, [("Type", "Ball Handling")])
tick(3)
s = shot("1", "4", "Made", 3)
simple("assist", "1", "210", s)
tick(30)
f = foul("2", "5", "7", personal="Shooting", shots="2")
free_throw("1", "7", "1", "2", "Made", f)
free_throw("1", "7", "2", "2", "Missed", f)
rebound("2", "5", "Defensive", f)
tick(40)
foul("1", "99")  # nobody of the roster wears 99
tick(1)
add("timeout", [("Team", "1")])
tick(30)
add("timeout", [("Team", "0")])
add("comment", [("Team1Score", "8"), ("Team2Score", "6"), ("Comment", "Se seca la pista")])
subst("1", "210", "11")
tick(45)
f = foul("2", "200", kind="Technical", shots="1")
free_throw("1", "4", "1", "1", "Made", f)
tick(40)
s = shot("2", "200", "Missed", 3)
rebound("1", "11", "Defensive", s)
tick(30)
s = shot("1", "11", "Missed", 3)
rebound("1", "5", "Offensive", s)
tick(3)
shot("1", "5", "Made", kind="Lay-up")
shot("2", "7", "Made", at=599)
period(1, "End", 600)

period(2, "Start", 600)
for i, shirt in enumerate(["4", "5", "6", "4", "11"]):
    tick(40)
    foul("1", shirt, "9")
tick(20)
f = foul("2", "9", "4", kind="Unsportsmanlike", shots="2")
free_throw("1", "4", "1", "2", "Made", f)
free_throw("1", "4", "2", "2", "Made", f)
tick(30)
f = foul("1", "4", personal="Offensive")
subst("1", "4", "15", f)
simple("turnover", "1", "4", f, [("Type", "Offensive foul")])
tick(20)
add("timeout", [("Team", "2")])
tick(60)
s = shot("2", "10", "Made", 3, kind="Jump shot")
simple("assist", "2", "200", s)
period(2, "End", 1200)

period(3, "Start", 1200)
tick(50)
s = shot("1", "17", "Made", kind="Alley-oop")  # roster slot 14
simple("assist", "1", "15", s)
tick(40)
foul("1", "17", "5")
tick(40)
s = shot("2", "5", "Missed")
rebound("2", "200", "Offensive", s)
rebound("1", "6", "Defensive", s)
tick(60)
shot("2", "9", "Made", 3)
period(3, "End", 1800)

period(4, "Start", 1800)
tick(60)
foul("2", "10", "6")
tick(90)
shot("1", "6", "Made")
tick(120)
f = foul("2", "7", "11", personal="Shooting", shots="3")
free_throw("1", "11", "1", "3", "Made", f)
free_throw("1", "11", "2", "3", "Missed", f)
free_throw("1", "11", "3", "3", "Made", f)
tick(100)
shot("2", "5", "Made", 2, kind="Lay-up")
period(4, "End", 2400)

period(5, "Start", 2400)
tick(40)
foul("1", "6", "9")
tick(60)
f = foul("2", "9", "15", kind="Disqualifying", shots="2")
subst("2", "9", "12", f)
free_throw("1", "15", "1", "2", "Missed", f)
free_throw("1", "15", "2", "2", "Missed", f)
rebound("1", "15", "Offensive", f)
tick(5)
shot("1", "15", "Made", kind="Tap-in")
shot("2", "200", "Made", 3, at=2700)  # at the overtime's last second
period(5, "End Game", 2700)

FIRST = ["Álvaro", "Iker", "Pau", "Óscar", "Marc", "Sergio", "Unai", "Jon", "Raúl", "Hugo", "Leo", "Nico",
         "Ángel", "Bruno"]
LAST = ["Navarro", "Salazar", "Ribas", "Ortuño", "Vidal", "Lacasa", "Mora", "Ibarra", "Sanz", "Cebrián",
        "Peña", "Arnau", "Zárate", "Echeverría-Montalbán"]
ROSTERS = {1: ["4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "210", "17"],
           2: ["5", "7", "9", "10", "200", "12", "13", "14", "15", "16", "20", "21"]}


def team_xml(team, name, short, coach):
    players = "".join(
        '<PLAYER%d ID="%d" Number="%s" Name=%s Surname=%s Active="True" Disabled="False"/>' % (
            slot, team * 1000 + slot, number, quoteattr(FIRST[(slot + team * 3) % 14]),
            quoteattr(LAST[(slot * 5 + team) % 14]))
        for slot, number in enumerate(ROSTERS[team], 1))
    return '<TEAM%d Coach=%s ID="%d" Name=%s Logo="" Shortname="%s">%s</TEAM%d>' % (
        team, quoteattr(coach), 500 + team, quoteattr(name), short, players, team)


out = sys.stdout
out.write('<?xml version="1.0" encoding="UTF-8"?>\n<DRAVON>\n<ACTIONS>\n')
out.write("\n".join(actions) + "\n</ACTIONS>\n")
out.write('<MATCHINFO Time="2025.05.18 18:00:00" GameNumber="PBP-0518" Place="Zaragoza" Field="Pabellón Príncipe '
          'Felipe" Referee1="Marta Ortiz" Referee2="Luis Gómez" Referee3="Eva Sanz" Referee4="" Commissioner="Pilar '
          'Ruiz" Competition="Liga Regional - Final" Spectators="4310" TV="1" CurrentGameTime="00:45:00">\n')
out.write(team_xml(1, "Club Atlético Norte", "NOR", "Ana Beltrán") + "\n")
out.write(team_xml(2, "Basket Sur", "SUR", "Miguel Soto") + "\n")
out.write("</MATCHINFO>\n</DRAVON>\n")
