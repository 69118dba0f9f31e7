#!/usr/bin/env python3
"""Writes the sample reports in examples/ (Windows-1252, CR LF line ends).

The files are committed; run this again only after changing the texts here.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
T = "\t"

SCORE_KEY = [
    "  SCALED SCORES      DESCRIPTOR       PERCENTILE RANKING",
    "    16 - 20            Strong              98% - 100%",
    "    13 - 15            Above Average       84% - 95%",
    "     8 - 12            Average             25% - 75%",
    "     6 -  7            Below Average        9% - 16%",
    "     1 -  5            Weak                 0% -  5%",
]


def analysis(student, name, scores):
    verbal, nonverbal, vocab = scores
    return [
        "@",
        "~biuC18~",
        f"Orvella Analysis Report for student {student}",
        "~biuL12~",
        "",
        f"Name:{T}{T}{name}",
        f"Date of assessment:{T}{T}12 November 2026",
        f"Assessor:{T}{T}R. Ab\u00e9l",
        "",
        "_1 internal note: scores checked twice",
        "@",
        "~BiuL12~",
        "Orvella Analysis Report",
        "~biuL12~",
        "This report sets out the results of the ~BiuL12~Orvella~biuL12~ assessment",
        "and what they mean for the student's ~bIuL12~study~biuL12~ and ~biUL12~examinations~biuL12~.",
        "",
        "Analysis of Cognitive Tests",
        "Non-Verbal Reasoning",
        f"{T}Score{T}{T}{nonverbal}",
        f"{T}Descriptor{T}{T}Average",
        "Verbal Reasoning",
        f"{T}Score{T}{T}{verbal}",
        "Vocabulary",
        f"{T}Score{T}{T}{vocab}",
        "",
        "Analysis of Short-Term Memory & Coding Tests",
        "Digit Span (Auditory)",
        "   The student recalled six digits forwards and four backwards.",
        "Coding (Symbols & Number Co-ordination)",
        "Accuracy was good;  speed was   below the mean.",
        "@",
        "Analysis Summary",
        "Mean Attainment Level",
        "~V~- Reading is a relative strength.",
        "~V~- Spelling is weaker than reasoning would predict.",
        "Points to note:\r- extra time of 25% is recommended",
        "~LINE~",
        "Appendix",
        "Key to scoring system",
        *SCORE_KEY,
        "~biuL12~",
        "Scores are scaled to a mean of 10.~VT~",
        "~BIUC25~",
        "End of report",
        "~VTE~",
        "~biuL12~",
    ]


def dyslexia(student, name):
    return [
        "@",
        "~BiuC18~",
        f"Orvella Dyslexia Report for student {student}",
        "~biuL12~",
        f"Student:{T}{T}{name}",
        "Scope of the Orvella Dyslexia Report",
        "This report looks at underlying ability and educational attainment.",
        "@",
        "Assessment of Underlying Ability",
        "Cognitive Tests",
        f"Test{T}{T}Score{T}{T}Descriptor",
        f"Verbal{T}{T}11{T}{T}Average",
        f"Non-Verbal{T}{T}14{T}{T}Above Average",
        "Free Writing Test",
        "~biuL10~",
        "   The quick brown fox",
        "   jumps over the lazy dog.",
        "~biuL12~",
        "Assessment Table of Orvella Test Results ",
        "Summary of Assessment and Diagnostic Comments",
        "The profile is ~BiuL12~consistent~biuL12~ with a specific learning difficulty.",
        "Tutor's Verification of Test Results",
        "~LINE~",
        "Key to scoring system",
        *SCORE_KEY,
        "~biuL12~",
    ]


def fennick(name):
    return [
        "@1",
        "~biuL12~",
        f"Questionnaire completed by{T}{T}{name}",
        "@2",
        "Prefers ~BiuL12~visual~biuL12~ material; works best in short sessions.",
        "@3",
        "~V~- Weekly study skills sessions",
        "~V~- A reader for long examination papers",
        "@4",
        "No indications beyond those reported by the Orvella assessment.",
        "_3 left out of the document",
        "@@",
        f"Course:{T}{T}BSc Nursing",
        f"Year:{T}{T}2",
    ]


def write(path, lines):
    data = "\r\n".join(lines) + "\r\n"
    with open(os.path.join(HERE, path), "wb") as f:
        f.write(data.encode("cp1252"))


write("orvella/~drntrpa0001.tmp", analysis("12345678", "Alex Morgan", (12, 9, 14)))
write("orvella/~drntrpd0001.tmp", dyslexia("12345678", "Alex Morgan"))
write("orvella/~drntrpa0002.tmp", analysis("87654321", "Sam Ch\u00e9ret", (15, 13, 8)))
write("orvella/~drntrpd0003.tmp", dyslexia("24681357", "Jo Baker"))
write("orvella/~drntrpa0004.tmp", ["This file was saved by mistake.", "It is not a report."])
write("fennick/jones.fnr", fennick("Chris Jones"))
write("fennick/Smith7.FNR", fennick("Pat Smith"))
