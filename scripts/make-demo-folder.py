#!/usr/bin/env python3
"""Writes a demo program folder for screenshots: personal details, one
account and a few months of its register, in the program's own file forms
(Windows-1255, CR LF)."""
import os
import sys


def write(folder, name, lines):
    with open(os.path.join(folder, name), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp1255"))


def main(folder):
    write(folder, "AcMyData.Dat",
          ["דנה", "לוי", "לוי יעוץ", "הרצל 12 חיפה", "04-8123456", "0 -   -    ", "05 -   -    ", "",
           "052-1234567"])
    write(folder, "Accts.dat",
          ["חשבון הבית", "Xct1", "הפועלים", "612", "", "0 -   -    ", "0 -   -    ",
           "05 -   -    ", "234567", "30000", "0000412", "0", "3200", "17"])
    write(folder, "Cheque.ini", ["חשבון הבית"])
    # date, category, type and reference, income, expense, description, mark
    rows = [
        ("1/1/1990", "", "יתרה ", "3200", "", "יתרת פתיחה", "+"),
        ("1/10/2026", "משכורות", "העברה ", "14500", "", "משכורת ספטמבר", "+"),
        ("3/10/2026", "הוראות קבע", "הו\"ק ", "", "2150", "משכנתא", "+"),
        ("5/10/2026", "ביטוחים\\רכב", "אשראי ", "", "310", "ביטוח רכב", "+"),
        ("12/10/2026", "קניות", "שק 0000405", "", "1480", "סופר השכונה", "+"),
        ("20/10/2026", "ביטוחים\\חיים", "הו\"ק ", "", "185", "ביטוח חיים", "+"),
        ("31/10/2026", "בנק\\יתרה", "יתרה ", "", "", "יתרה בבנק", "+"),
        ("1/11/2026", "משכורות", "העברה ", "14500", "", "משכורת אוקטובר", "+"),
        ("3/11/2026", "הוראות קבע", "הו\"ק ", "", "2150", "משכנתא", "+"),
        ("9/11/2026", "אשראי\\ויזה", "אשראי ", "", "3920", "ויזה", "+"),
        ("15/11/2026", "קניות", "שק 0000409", "", "1260", "סופר השכונה", ""),
        ("22/11/2026", "ביגוד\\הנעלה", "מזומן ", "", "420", "נעליים לילדים", "+"),
        ("30/11/2026", "בנק\\יתרה", "יתרה ", "", "", "יתרה בבנק", "+"),
        ("1/12/2026", "משכורות", "העברה ", "14500", "", "משכורת נובמבר", "+"),
        ("3/12/2026", "הוראות קבע", "הו\"ק ", "", "2150", "משכנתא", ""),
        ("10/12/2026", "אשראי\\ויזה", "אשראי ", "", "4105", "ויזה", "?"),
        ("18/12/2026", "מסים\\מס הכנסה", "שק 0000411", "", "2600", "מס הכנסה", "?"),
        ("1/1/2027", "משכורות", "העברה ", "14500", "", "משכורת דצמבר", "?"),
        ("3/1/2027", "הוראות קבע", "הו\"ק ", "", "2150", "משכנתא", "?"),
    ]
    real_balances = {"31/10/2026": "11655", "30/11/2026": "17150"}
    lines = []
    balance = 0.0
    for date, category, kind, income, expense, description, mark in rows:
        if category == "בנק\\יתרה":
            balance = float(real_balances[date])
            shown = real_balances[date]
        else:
            balance += float(income or 0) - float(expense or 0)
            shown = f"{balance:.2f}".rstrip("0").rstrip(".")
        lines += [shown, category, kind, date, income, expense, description, mark]
    write(folder, "Xct1.dat", lines)


if __name__ == "__main__":
    main(sys.argv[1])
