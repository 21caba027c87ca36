// The shared helpers: number masks, leading numbers, the field reader, byte
// counts and text decoding.
#include "common/ByteCount.h"
#include "common/DateTimeText.h"
#include "common/FieldReader.h"
#include "common/LeadingNumber.h"
#include "common/NumberMask.h"
#include "common/TextCodec.h"

#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT

private slots:
    void masks_data();
    void masks();
    void plainNumberUsesDecimalSeparator();
    void leadingNumber_data();
    void leadingNumber();
    void fieldReader_data();
    void fieldReader();
    void fieldsAndLinesShareOnePosition();
    void byteCountIsExact_data();
    void byteCountIsExact();
    void dateAndTimeText();
    void decodeFallsBackToWindows1252_data();
    void decodeFallsBackToWindows1252();
    void splitLinesOnEveryLineEnd_data();
    void splitLinesOnEveryLineEnd();
};

void TestHelpers::masks_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("blankZero");
    QTest::addColumn<QString>("zero");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::addRow("zero") << english << 0.0 << "" << "0";
    QTest::addRow("rounds to zero") << english << 0.4 << "" << "0";
    QTest::addRow("below a thousand") << english << 999.0 << "999" << "999";
    QTest::addRow("one thousand") << english << 1000.0 << "1,000" << "1,000";
    QTest::addRow("half rounds away from zero") << english << 2.5 << "3" << "3";
    QTest::addRow("large") << english << 5368709120.0 << "5,368,709,120" << "5,368,709,120";
    QTest::addRow("negative") << english << -1234.0 << "-1,234" << "-1,234";
    QTest::addRow("german separator") << german << 1234567.0 << "1.234.567" << "1.234.567";
    QTest::addRow("german zero") << german << 0.0 << "" << "0";
}

void TestHelpers::masks()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, blankZero);
    QFETCH(QString, zero);
    QCOMPARE(maskBlankZero(value, locale), blankZero);
    QCOMPARE(maskZero(value, locale), zero);
}

void TestHelpers::plainNumberUsesDecimalSeparator()
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(plainNumber(7, english), QStringLiteral("7"));
    QCOMPARE(plainNumber(0, english), QStringLiteral("0"));
    QCOMPARE(plainNumber(2.5, english), QStringLiteral("2.5"));
    QCOMPARE(plainNumber(2.5, german), QStringLiteral("2,5"));
    QCOMPARE(plainNumber(123456789, english), QStringLiteral("123456789"));
}

void TestHelpers::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::addRow("integer") << "12" << 12.0;
    QTest::addRow("decimal point") << "2.5" << 2.5;
    QTest::addRow("leading blanks") << "   42" << 42.0;
    QTest::addRow("blanks inside are ignored") << "1 234" << 1234.0;
    QTest::addRow("stops at letters") << "10abc" << 10.0;
    QTest::addRow("comma ends it") << "1,234,567" << 1.0;
    QTest::addRow("letters only") << "Default" << 0.0;
    QTest::addRow("empty") << "" << 0.0;
    QTest::addRow("negative") << "-3" << -3.0;
    QTest::addRow("second point ends it") << "1.2.3" << 1.2;
    QTest::addRow("exponent") << "1e3" << 1000.0;
    QTest::addRow("dangling exponent") << "12e" << 12.0;
    QTest::addRow("sign alone") << "-" << 0.0;
    QTest::addRow("size after prefix is not leading") << "Size=100" << 0.0;
    QTest::addRow("overflow gives zero") << "1e999" << 0.0;
}

void TestHelpers::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    bool outOfRange = true;
    QCOMPARE(::leadingNumber(text, &outOfRange), expected);
    QCOMPARE(outOfRange, text == QLatin1String("1e999"));
}

void TestHelpers::fieldReader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::addRow("quoted pair") << "\"10.0.0.5\",\"7\"\r\n" << QStringList{"10.0.0.5", "7"};
    QTest::addRow("quoted keeps commas and blanks") << "\" a, b \",x" << QStringList{" a, b ", "x"};
    QTest::addRow("unquoted ends at comma") << "ab,cd\r\nef" << QStringList{"ab", "cd", "ef"};
    QTest::addRow("leading blanks skipped") << "   Quality: High" << QStringList{"Quality: High"};
    QTest::addRow("empty quoted field") << "\"\",\"Default\"" << QStringList{"", "Default"};
    QTest::addRow("unterminated quote runs to end") << "\"abc" << QStringList{"abc"};
    QTest::addRow("open quote ends with its line") << "\"ab\r\ncd\",e" << QStringList{"ab", "cd\"", "e"};
    QTest::addRow("lone CR ends a field") << "a\rb" << QStringList{"a", "b"};
    QTest::addRow("text after closing quote dropped") << "\"a\"xyz,b" << QStringList{"a", "b"};
}

void TestHelpers::fieldReader()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    FieldReader reader(text);
    QStringList read;
    while (!reader.atEnd())
        read << reader.readField();
    QCOMPARE(read, fields);
}

void TestHelpers::fieldsAndLinesShareOnePosition()
{
    FieldReader reader(QStringLiteral("first,rest of, line\r\nnext line\nlast"));
    QCOMPARE(reader.readField(), QStringLiteral("first"));
    QCOMPARE(reader.readLine(), QStringLiteral("rest of, line"));
    QCOMPARE(reader.readLine(), QStringLiteral("next line"));
    QCOMPARE(reader.readField(), QStringLiteral("last"));
    QVERIFY(reader.atEnd());
    QCOMPARE(reader.readField(), QString());
}

void TestHelpers::byteCountIsExact_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addRow("zero") << qint64(0);
    QTest::addRow("3 GiB") << qint64(3221225472);
    QTest::addRow("5 GiB") << qint64(5368709120);
    QTest::addRow("near the limit") << qint64(900000000000000);
}

void TestHelpers::byteCountIsExact()
{
    QFETCH(qint64, bytes);
    const ByteCount count = ByteCount::fromBytes(bytes);
    QCOMPARE(count.tenThousandths, bytes * 10000);
    QCOMPARE(count.toDouble(), double(bytes));
    QCOMPARE(ByteCount::fromDouble(double(bytes)), count);
    QCOMPARE((count - ByteCount::fromBytes(1)).toDouble(), double(bytes - 1));
}

void TestHelpers::dateAndTimeText()
{
    const QDateTime when(QDate(2003, 12, 5), QTime(7, 4, 9));
    QCOMPARE(dateText(when), QStringLiteral("12-05-2003"));
    QCOMPARE(timeText(when), QStringLiteral("07:04:09"));
    QCOMPARE(timeText(QDateTime(QDate(2003, 1, 2), QTime(23, 59, 58))), QStringLiteral("23:59:58"));
}

void TestHelpers::decodeFallsBackToWindows1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addRow("UTF-8") << QByteArray("Am\xc3\xa9lie") << QStringLiteral("Am\u00e9lie");
    // Not valid UTF-8: every byte kept, read as Windows-1252.
    QTest::addRow("Windows-1252") << QByteArray("Am\xe9lie \x93q\x94 \x80")
                                  << QStringLiteral("Am\u00e9lie \u201cq\u201d \u20ac");
    // Only a line that is not UTF-8 falls back; every line end stays as it was.
    QTest::addRow("one line in another code page")
        << QByteArray("Caf\xc3\xa9 Ol\xc3\xa9\r\nCaf\xe9\nOl\xc3\xa9\r\xc3\xa9")
        << QStringLiteral("Caf\u00e9 Ol\u00e9\r\nCaf\u00e9\nOl\u00e9\r\u00e9");
    QTest::addRow("byte-order mark dropped at the start only")
        << QByteArray("\xef\xbb\xbfz\r\n\xef\xbb\xbfy") << QStringLiteral("z\r\n\uFEFFy");
}

void TestHelpers::decodeFallsBackToWindows1252()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeText(bytes), text);
    QCOMPARE(encodeLines({QStringLiteral("a"), QStringLiteral(" ")}), QByteArray("a\r\n \r\n"));
}

void TestHelpers::splitLinesOnEveryLineEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addRow("empty") << "" << QStringList{};
    QTest::addRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::addRow("lf and lone cr") << "a\nb\rc" << QStringList{"a", "b", "c"};
    QTest::addRow("blank lines kept") << " \r\n\r\nx" << QStringList{" ", "", "x"};
}

void TestHelpers::splitLinesOnEveryLineEnd()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitLines(text), lines);
}

QTEST_APPLESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
