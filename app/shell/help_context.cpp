#include "app/shell/help_context.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <array>

#include "core/files/program_folder.h"

namespace cheque {
namespace {

constexpr char kContextProperty[] = "helpContext";

struct ContextPage {
  int context;
  const char16_t* page;
};

constexpr std::array<ContextPage, 15> kPages = {{
    {1, u"transscreen.htm"},
    {21, u"toolbar.htm"},
    {22, u"maintoolbar.htm"},
    {23, u"reportresult.htm"},
    {24, u"acounttools.htm"},
    {31, u"acounts.htm"},
    {41, u"backup.htm"},
    {51, u"calander.htm"},
    {61, u"newtrans.htm"},
    {71, u"personaldata.htm"},
    {81, u"producecheque.htm"},
    {91, u"producecreport.htm"},
    {100, u"purpose.htm"},
    {110, u"searchtrans.htm"},
    {120, u"sortbycriteria.htm"},
}};

struct NamedContext {
  const char16_t* name;
  int context;
};

// Windows carry their context by name, so a window built later needs no
// call here.
constexpr std::array<NamedContext, 11> kWindowContexts = {{
    {u"TAccountData", 31},
    {u"TBackItUp", 41},
    {u"TCalander", 51},
    {u"TDateFrm", 61},
    {u"TPrivateDta", 71},
    {u"ChequePage", 81},
    {u"TReportWiz", 91},
    {u"TIntroScr", 100},
    {u"TSrchFrm", 110},
    // The report's tabs and its print preview show the report result.
    {u"Notebook2", 23},
    {u"TPrtPreView", 23},
}};

struct NamedText {
  const char16_t* name;
  const char16_t* text;
};

// "\r" breaks a line, as the texts were written.
constexpr std::array<NamedText, 21> kTexts = {{
    {u"PanelAcctTitle", u"בחלק זה של המסך ניתן לבחור אחד מן החשבונות שהוגדרו, לעבודה"},
    {u"SBToday", u"לחיצה על מקש זה תעמיד את הסמן על הרשומה שמועדה הוא הקרוב ביותר לתאריך של היום"},
    {u"SBNewItem",
     u"לחיצה על כפתור זה מוסיפה רשומה חדשה לסוף הטבלא. מייד מופיע מסך העריכה שבו יש להזין את "
     u"הנתונים"},
    {u"SBClone",
     u"לחיצה על מקש זה תשכפל את הרשומה הפעילה כרגע לסוף הטבלא.\rמייד יופיע מסך העריכה שבו יש "
     u"לשנות לפחות נתון אחד\r\rאי שינוי ערך כלשהו, יגרום לביטול ההוספה"},
    {u"SBDelItm",
     u"לחיצה על מקש זה מבטלת את הרשומה הפעילה\rאזהרה תנתן רק לפני מחיקת רשומה אשר עברה כבר "
     u"בבנק"},
    {u"SBSrch",
     u"על ידי לחיצה על מקש זה יפתח מסך חיפוש\rניתן לחפש כל שילוב של נתונים בכל תנועות החשבון "
     u"הפעיל"},
    {u"SBSort",
     u"ניתן לבצע מיונים שונים לרשומות, כדי להקל על מציאת ערך מסויים\rבאופן זה ניתן יהיה לראות "
     u"את כל הרשומות מסודרות על פי כל חלוקה רצויה\rשים לב: מיון השונה מ\"תאריך\" הופך את היתרה "
     u"בבנק לחסרת משמעות"},
    {u"SBHelp", u"לחיצה על כפתור זה מאפשרת קבלת הסבר על כל אחד ממרכיבי המסך"},
    {u"SBInternet",
     u"חיבור איטרנט או חיבור מקוון לבנק\rעל ידי לחיצה על כפתור זה ניתן לקבל דפי בנק ממוחשבים "
     u"ישירות מסניפך\r\rהפונקציה לא פעילה עדיין בתוכנית זו"},
    {u"PB1",
     u"הסימן \"<-\" מראה את הרשומה הפעילה כרגע\rהסכומים המופיעים ליד יתרות הבנק הם ההפרש בין "
     u"היתרה המחושבת ליתרה האמיתית"},
    {u"StringGrid1",
     u"קוד צבעים לרשימת התנועות\rאדום:         סכום בחובה, מינוס\rירוק:          סכום שהוא "
     u"מעל כפליים המסגרת\rסגול:         תנועה שעבר זמנה וטרם הועברה בבנק\rרקע צהוב: חריגה "
     u"ממסגרת\rרקע אפור: יתרת בנק בפועל\rקו שחור- מפריד חודשים, כחול- מפריד שנים"},
    {u"StringGrid3",
     u"תנועה שהועברה בבנק תסומן על ידי לחיצה בשורה המתאימה בסימן מיוחד\rכך אפשר יהיה לדעת "
     u"תמיד אם פעולה צפויה כלשהיא בוצעה כבר"},
    {u"ImgSort",
     u"כפתור המיון משמש למיון הרשומות על פי התאריך\r\rשים לב כי רק כאשר הרשומות ממויינות על פי "
     u"התאריך, יש משמעות לתזרים\r\rכאשר מקישים נתונים חדשים או משנים את הקיימים, תהבהב התמונה "
     u"כדי להזכיר לך לבצע מיון בהקדם"},
    {u"ImgAct",
     u"הקש על מקש זה כאשר ברצונך לשנות פרטי אחד מחשבונות הבנק שהגדרת, להוסיף או לבטל חשבון "
     u"קיים"},
    {u"ImgRpt",
     u"לחיצה על כפתור זה תפעיל אשף הפקת דוחות\r\rניתן להפיק באמצעותו דוחות מסוגים שונים, "
     u"לראות גראפים ולהדפיס את הדוחות"},
    {u"ImgChk",
     u"לחיצה על כפתור זה תפעיל את מודול הפקת ההמחאות\rניתן להפיק המחאות מכל חשבון, ולהדפיסן. "
     u"המחאה שהופקה תוכנס אוטומאטית לרשימת התנועות"},
    {u"ImgReg",
     u"לחיצה על כפתור זה תחזיר אותך למסך זה בכל שלב\rזהו מסך התנועות שהוא העיקרי בתוכנית "
     u"זו\r\rמומלץ להקפיד על מילוי כל השדות בקפידה מכיוון שכל הדוחות נשענים על נתונים אלה"},
    {u"ImgBak",
     u"לחץ כאן לביצוע שחזור או גיבוי חשבונות לכונן אחר\rחשבון שגובה ניתן למחיקה, כך שניתן "
     u"לשחזרו במועד מאוחר יותר\rמומלץ לגבות את החשבונות בשני מקומות שונים למקרה של תקלה "
     u"במחשב"},
    {u"ImgCldr",
     u"לחיצה על כפתור זה מפעילה תאריכון (לוח שנה) לשימוש כללי\r\rבכל מקום בו מופיע שדה מסוג "
     u"\"תאריך\" ניתן להקיש עליו הקשה כפולה, והתאריכון יפתח אוטומאטית"},
    {u"ImgDtl", u"כדי לשנות את פרטיך האישיים כפי שהם מופיעים בתוכנית, הקש על כפתור זה"},
    {u"ImgExt",
     u"לחיצה על כפתור זה סוגרת את התוכנית\r\rלידיעתך: סגירת התוכנית שומרת אוטומאטית את כל "
     u"השינויים שביצעת\r\rכמו כן, בכל 4 דקות (בערך) מתבצעת שמירה אוטומאטית של כל התנועות"},
}};

}  // namespace

void SetHelpContext(QWidget* widget, int context) {
  if (widget != nullptr) widget->setProperty(kContextProperty, context);
}

int HelpContextOf(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const QVariant own = w->property(kContextProperty);
    if (own.isValid()) return own.toInt();
    for (const NamedContext& named : kWindowContexts) {
      if (w->objectName() == QStringView(named.name)) return named.context;
    }
  }
  return 0;
}

QString HelpPageName(int context) {
  for (const ContextPage& entry : kPages) {
    if (entry.context == context) return QString::fromUtf16(entry.page);
  }
  return kHelpIndexPage;
}

QStringList HelpPageNames() {
  QStringList names;
  for (const ContextPage& entry : kPages) names.append(QString::fromUtf16(entry.page));
  names.append(kHelpIndexPage);
  return names;
}

QString HelpFolder() {
  const QString own = ProgramFile(kHelpFolderName);
  if (QFileInfo(own).isDir()) return own;
  const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(kHelpFolderName);
  if (QFileInfo(beside).isDir()) return beside;
  return own;
}

QUrl HelpPageUrl(const QString& page) { return QUrl::fromLocalFile(HelpFolder() + page); }

QString ContextHelpText(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    // A control whose explanation follows what it shows carries its own.
    const QVariant own = w->property("helpText");
    if (own.isValid()) return own.toString();
    for (const NamedText& named : kTexts) {
      if (w->objectName() == QStringView(named.name)) {
        QString text = QString::fromUtf16(named.text);
        return text.replace(u'\r', u'\n');
      }
    }
  }
  return {};
}

}  // namespace cheque
