// The settings store: value types, read errors, invalid files, atomic replacement, unwritable
// locations, the file's location, and the helpers that keep dialog controls in it.

#include "settings/control_store.h"
#include "settings/registry.h"
#include "settings/store_path.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>

#include "file_size_limit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>

using settings::LoadResult;
using settings::ReadError;
using settings::Registry;

namespace {

const QString kKey = QStringLiteral("\\Software\\Drevmark\\Spectrion");

class SettingsStore : public ::testing::Test {
protected:
    QString file(const QString& name = QStringLiteral("settings.json")) const
    {
        return dir.filePath(name);
    }

    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    static QByteArray readBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The settings key's object as the file holds it.
    static QJsonObject storedKey(const QString& path)
    {
        QJsonValue node = QJsonDocument::fromJson(readBytes(path)).object();
        for (const char* part : {"HKEY_LOCAL_MACHINE", "Software", "Drevmark", "Spectrion"})
            node = node.toObject().value(QLatin1String(part));
        return node.toObject();
    }

    QTemporaryDir dir;
};

ReadError::Reason readErrorOf(const std::function<void()>& read)
{
    try {
        read();
    } catch (const ReadError& error) {
        return error.reason();
    }
    ADD_FAILURE() << "the read did not fail";
    return ReadError::Reason::NoKey;
}

TEST_F(SettingsStore, ValuesKeepTheirTypesAcrossWriteAndRead)
{
    const std::int32_t integers[] = {0,
                                     -1,
                                     255,
                                     std::int32_t(0xFF00000Fu),
                                     std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max()};
    const QString strings[] = {QStringLiteral("20"), QString(), QStringLiteral("12.5"),
                               QStringLiteral("Schrittw. Y-Achse ÄÖÜß"),
                               QStringLiteral("back\\slash \"quoted\"")};
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, true));
        for (int i = 0; i < 6; ++i)
            ASSERT_TRUE(reg.writeInteger(QStringLiteral("Int%1").arg(i), integers[i]));
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(reg.writeString(QStringLiteral("Str%1").arg(i), strings[i]));
        ASSERT_TRUE(reg.writeBool(QStringLiteral("BoolOn"), true));
        ASSERT_TRUE(reg.writeBool(QStringLiteral("BoolOff"), false));
        ASSERT_TRUE(reg.closeKey()) << reg.errorString().toStdString();
    }

    Registry reg(file());
    ASSERT_TRUE(reg.openKey(kKey, false));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(reg.readInteger(QStringLiteral("Int%1").arg(i)), integers[i]) << i;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(reg.readString(QStringLiteral("Str%1").arg(i)), strings[i]) << i;
    EXPECT_TRUE(reg.readBool(QStringLiteral("BoolOn")));
    EXPECT_FALSE(reg.readBool(QStringLiteral("BoolOff")));

    // A colour with the system flag is kept as the signed integer, Booleans as 0 and 1.
    const QJsonObject key = storedKey(file());
    EXPECT_EQ(key["Int3"].toInteger(), -16777201);
    EXPECT_TRUE(key["Int3"].isDouble());
    EXPECT_EQ(key["BoolOn"].toInteger(), 1);
    EXPECT_EQ(key["BoolOff"].toInteger(), 0);
    EXPECT_TRUE(key["Str0"].isString());
}

TEST_F(SettingsStore, MissingValuesAndWrongTypesAreReadErrors)
{
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, true));
        reg.writeString(QStringLiteral("Color5"), QStringLiteral("255"));
        reg.writeInteger(QStringLiteral("txtYAxisMax"), 80);
        ASSERT_TRUE(reg.closeKey());
    }
    Registry reg(file());
    ASSERT_TRUE(reg.openKey(kKey, false));
    ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Drevmark"), false));
    ASSERT_TRUE(reg.openKey(kKey, false));
    using R = ReadError::Reason;
    const struct {
        const char* what;
        std::function<void()> read;
        R reason;
    } cases[] = {
        {"integer from a string", [&] { reg.readInteger(QStringLiteral("Color5")); }, R::WrongType},
        {"Boolean from a string", [&] { reg.readBool(QStringLiteral("Color5")); }, R::WrongType},
        {"string from an integer", [&] { reg.readString(QStringLiteral("txtYAxisMax")); },
         R::WrongType},
        {"missing integer", [&] { reg.readInteger(QStringLiteral("Color6")); }, R::Missing},
        {"missing string", [&] { reg.readString(QStringLiteral("txtYAxisMin")); }, R::Missing},
        {"missing Boolean", [&] { reg.readBool(QStringLiteral("Flag")); }, R::Missing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readErrorOf(c.read), c.reason) << c.what;

    // A subkey is no value, and with no key open every read fails.
    ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Drevmark"), false));
    EXPECT_EQ(readErrorOf([&] { reg.readInteger(QStringLiteral("Spectrion")); }), R::Missing);
    EXPECT_FALSE(reg.writeInteger(QStringLiteral("Spectrion"), 1));
    EXPECT_FALSE(reg.openKey(QStringLiteral("\\Software\\Nobody"), false));
    EXPECT_EQ(readErrorOf([&] { reg.readString(QStringLiteral("txtXAxisMin")); }), R::NoKey);
    EXPECT_FALSE(reg.writeString(QStringLiteral("txtXAxisMin"), QStringLiteral("20")));
}

TEST_F(SettingsStore, OpeningWithoutCreateFailsWhereTheKeyIsMissing)
{
    Registry reg(file());
    EXPECT_FALSE(reg.openKey(kKey, false)) << "no file";
    EXPECT_FALSE(QFile::exists(file())) << "opening without create wrote the file";

    ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Other"), true));
    reg.writeInteger(QStringLiteral("Software"), 1);
    ASSERT_TRUE(reg.closeKey());
    EXPECT_FALSE(reg.openKey(kKey, false)) << "another key only";
    EXPECT_FALSE(reg.openKey(QStringLiteral("\\Software\\Other\\Software\\X"), true))
        << "a value stands where a key would be";

    reg.setRootKey(settings::RootKey::HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.openKey(QStringLiteral("\\Software\\Other"), false)) << "other root";
}

TEST_F(SettingsStore, OpenAndCloseWithCreateLeavesAnEmptyKeyAndKeepsExistingValues)
{
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, true));
        ASSERT_TRUE(reg.closeKey());
    }
    ASSERT_TRUE(QFile::exists(file()));
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, false));
        EXPECT_FALSE(reg.valueExists(QStringLiteral("WaveDevice1")));
        ASSERT_TRUE(reg.writeInteger(QStringLiteral("WaveDevice1"), -1));
    } // closed by the destructor

    const QByteArray before = readBytes(file());
    Registry reg(file());
    ASSERT_TRUE(reg.openKey(kKey, true));
    EXPECT_EQ(reg.readInteger(QStringLiteral("WaveDevice1")), -1);
    ASSERT_TRUE(reg.closeKey());
    EXPECT_EQ(readBytes(file()), before);
}

TEST_F(SettingsStore, WritesKeepOtherKeysAndValuesWrittenSinceTheOpen)
{
    Registry first(file());
    Registry second(file());
    ASSERT_TRUE(first.openKey(kKey, true));
    ASSERT_TRUE(second.openKey(QStringLiteral("\\Software\\Drevmark\\Other"), true));
    second.writeString(QStringLiteral("Name"), QStringLiteral("kept"));
    ASSERT_TRUE(second.closeKey());
    first.writeInteger(QStringLiteral("Color1"), 255);
    ASSERT_TRUE(first.closeKey());

    Registry reg(file());
    ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Drevmark\\Other"), false));
    EXPECT_EQ(reg.readString(QStringLiteral("Name")), QStringLiteral("kept"));
    ASSERT_TRUE(reg.openKey(kKey, false));
    EXPECT_EQ(reg.readInteger(QStringLiteral("Color1")), 255);
}

TEST_F(SettingsStore, InvalidFileReadsAsNoKeysAndIsReplacedAtTheNextWrite)
{
    const QByteArray valid = R"({"HKEY_LOCAL_MACHINE":{"Software":{"Drevmark":{"Spectrion":{)"
                             R"("Color1":255,"txtYAxisMax":"80"}}}}})";
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"truncated", valid.left(valid.size() / 2)},
        {"empty", QByteArray()},
        {"not JSON", "Color1=255\n"},
        {"not an object", "[1, 2, 3]"},
        {"binary", QByteArray("\x00\xff\xfe{", 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(file(), c.bytes);
        {
            Registry reg(file());
            EXPECT_FALSE(reg.openKey(kKey, false));
            ASSERT_TRUE(reg.openKey(kKey, true));
            EXPECT_FALSE(reg.valueExists(QStringLiteral("Color1")));
            reg.writeInteger(QStringLiteral("Color2"), 65280);
            ASSERT_TRUE(reg.closeKey()) << reg.errorString().toStdString();
        }
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, false));
        EXPECT_EQ(reg.readInteger(QStringLiteral("Color2")), 65280);
        EXPECT_FALSE(reg.valueExists(QStringLiteral("Color1")));
    }
}

TEST_F(SettingsStore, ValuesOfOtherTypesAreKeptAndTheFileIsRewrittenOnlyOnAChange)
{
    // Values the store does not model: they read as the wrong type and stay as they were.
    const QByteArray bytes = R"({"HKEY_LOCAL_MACHINE":{"Software":{"Drevmark":{"Spectrion":{)"
                             R"("Color1":3.5,"Color2":true,"Color3":5000000000,"Color4":null,)"
                             R"("Color5":[255],"txtYAxisMax":"80"}},"Other":7}},"Top":"x"})";
    writeBytes(file(), bytes);
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, false));
        for (const char* name : {"Color1", "Color2", "Color3", "Color4", "Color5"})
            EXPECT_EQ(readErrorOf([&] { reg.readInteger(QLatin1String(name)); }),
                      ReadError::Reason::WrongType)
                << name;
        // The values it holds already: nothing to write.
        reg.writeString(QStringLiteral("txtYAxisMax"), QStringLiteral("80"));
        EXPECT_FALSE(reg.hasChanges());
        ASSERT_TRUE(reg.closeKey());
    }
    EXPECT_EQ(readBytes(file()), bytes);

    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, false));
        reg.writeString(QStringLiteral("txtYAxisMax"), QStringLiteral("90"));
        ASSERT_TRUE(reg.closeKey()) << reg.errorString().toStdString();
    }
    const QByteArray after = readBytes(file());
    const QJsonObject tree = QJsonDocument::fromJson(after).object();
    EXPECT_EQ(tree["Top"].toString(), QStringLiteral("x"));
    EXPECT_EQ(tree["HKEY_LOCAL_MACHINE"]["Software"]["Other"].toInteger(), 7);
    EXPECT_TRUE(after.contains("5000000000"));
    QJsonObject key = storedKey(file());
    EXPECT_EQ(key.take("txtYAxisMax").toString(), QStringLiteral("90"));
    writeBytes(file(), bytes);
    QJsonObject original = storedKey(file());
    original.remove("txtYAxisMax");
    EXPECT_EQ(key, original);

    // A value where a key of the path belongs is never replaced by one.
    writeBytes(file(), R"({"HKEY_LOCAL_MACHINE": 5})");
    Registry reg(file());
    EXPECT_FALSE(reg.openKey(kKey, true));
    EXPECT_EQ(readBytes(file()), QByteArray(R"({"HKEY_LOCAL_MACHINE": 5})"));
}

TEST_F(SettingsStore, TemporaryFilesOfInterruptedWritesGoAtTheNextWrite)
{
    for (const char* name : {"settings.json.a1B2c3", "settings.json.ZZZZZZ", "settings.json.keep",
                             "settings.json.a1B2c3d", "other.json.a1B2c3"})
        writeBytes(file(QLatin1String(name)), "partial");
    Registry reg(file());
    ASSERT_TRUE(reg.openKey(kKey, true));
    reg.writeInteger(QStringLiteral("Color1"), 1);
    ASSERT_TRUE(reg.closeKey());
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, (QStringList{"other.json.a1B2c3", "settings.json", "settings.json.a1B2c3d",
                                 "settings.json.keep"}));
}

TEST_F(SettingsStore, FailedWriteLeavesThePreviousFileByteIdentical)
{
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, true));
        reg.writeString(QStringLiteral("txtYAxisMax"), QStringLiteral("80"));
        ASSERT_TRUE(reg.closeKey());
    }
    const QByteArray before = readBytes(file());

    Registry reg(file());
    ASSERT_TRUE(reg.openKey(kKey, true));
    for (int n = 1; n <= 16; ++n)
        reg.writeInteger(QStringLiteral("Color%1").arg(n), n);
    bool closed = true;
    {
        FileSizeLimit limit(rlim_t(before.size()));
        closed = reg.closeKey();
    }
    EXPECT_FALSE(closed);
    EXPECT_TRUE(reg.errorString().contains(QDir::toNativeSeparators(file())))
        << reg.errorString().toStdString();
    EXPECT_EQ(readBytes(file()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("settings.json")})
        << "a temporary file was left behind";
}

TEST_F(SettingsStore, UnwritableLocationIsReportedNamingTheFile)
{
    writeBytes(file(QStringLiteral("plain")), "not a folder");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QByteArray big(2 << 20, 'x');
    writeBytes(file(QStringLiteral("big.json")), big);
    const QString cases[] = {
        file(QStringLiteral("plain/settings.json")), // its folder is a regular file
        file(QStringLiteral("plain/sub/settings.json")),
        file(QStringLiteral("folder")),   // the path is a folder
        file(QStringLiteral("big.json")), // far too large to be ours
        QStringLiteral("/proc/spectrion-settings-test/settings.json"),
    };
    for (const QString& path : cases) {
        SCOPED_TRACE(path.toStdString());
        Registry reg(path);
        EXPECT_FALSE(reg.openKey(kKey, false));
        ASSERT_TRUE(reg.openKey(kKey, true));
        reg.writeInteger(QStringLiteral("WaveDevice1"), -1);
        EXPECT_FALSE(reg.closeKey());
        EXPECT_TRUE(reg.errorString().contains(
            QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path))))
            << reg.errorString().toStdString();

        QLineEdit edit;
        edit.setObjectName(QStringLiteral("txtYAxisMax"));
        EXPECT_FALSE(settings::SReg({path, kKey}, edit));
    }
    EXPECT_EQ(readBytes(file(QStringLiteral("plain"))), QByteArray("not a folder"));
    EXPECT_EQ(readBytes(file(QStringLiteral("big.json"))), big);
    EXPECT_TRUE(QFileInfo(file(QStringLiteral("folder"))).isDir());
}

TEST(SettingsStorePath, CommandLineWinsOverEnvironmentOverConfigFolder)
{
    qunsetenv("SPECTRION_SETTINGS");
    settings::setStorePath(QString());
    const QString standard = settings::defaultStorePath();
    EXPECT_TRUE(standard.endsWith(QStringLiteral("/Drevmark/Spectrion/settings.json")))
        << standard.toStdString();
    EXPECT_EQ(settings::storePath(), standard);

    qputenv("SPECTRION_SETTINGS", "/tmp/from-environment.json");
    EXPECT_EQ(settings::storePath(), QStringLiteral("/tmp/from-environment.json"));
    settings::setStorePath(QStringLiteral("/tmp/from-command-line.json"));
    EXPECT_EQ(settings::storePath(), QStringLiteral("/tmp/from-command-line.json"));
    EXPECT_EQ(settings::settingsKey(QStringLiteral("Drevmark"), QStringLiteral("Spectrion")).path,
              kKey);

    settings::setStorePath(QString());
    qunsetenv("SPECTRION_SETTINGS");
}

TEST_F(SettingsStore, SRegAndGRegKeepEditsAndCheckBoxesUnderTheirNames)
{
    const settings::StoreKey key{file(), kKey};
    QLineEdit edit;
    edit.setObjectName(QStringLiteral("txtYAxisMax"));
    edit.setText(QStringLiteral("80"));
    QCheckBox box;
    box.setObjectName(QStringLiteral("chkOption"));
    box.setChecked(true);
    ASSERT_TRUE(settings::SReg(key, edit));
    ASSERT_TRUE(settings::SReg(key, box));
    EXPECT_EQ(storedKey(file())["txtYAxisMax"].toString(), QStringLiteral("80"));
    EXPECT_EQ(storedKey(file())["chkOption"].toInteger(), 1);

    edit.setText(QStringLiteral("abc"));
    box.setChecked(false);
    EXPECT_EQ(settings::GReg(key, edit), LoadResult::Loaded);
    EXPECT_EQ(settings::GReg(key, box), LoadResult::Loaded);
    EXPECT_EQ(edit.text(), QStringLiteral("80"));
    EXPECT_TRUE(box.isChecked());

    box.setChecked(false);
    ASSERT_TRUE(settings::SReg(key, box));
    box.setChecked(true);
    EXPECT_EQ(settings::loadControl(key, box), LoadResult::Loaded);
    EXPECT_FALSE(box.isChecked());
}

TEST_F(SettingsStore, GRegOnMissingOrMistypedValues)
{
    const settings::StoreKey key{file(), kKey};
    const auto edit = [](const char* name) {
        auto e = std::make_unique<QLineEdit>(QStringLiteral("12.5"));
        e->setObjectName(QLatin1String(name));
        return e;
    };
    // loadControl never creates the key, and leaves the control alone unless it read a value.
    auto loaded = edit("txtYAxisMax");
    EXPECT_EQ(settings::loadControl(key, *loaded), LoadResult::Missing);
    EXPECT_EQ(loaded->text(), QStringLiteral("12.5"));
    EXPECT_FALSE(QFile::exists(file()));

    // GReg creates the key; a missing string empties an edit.
    auto missing = edit("txtYAxisMax");
    EXPECT_EQ(settings::GReg(key, *missing), LoadResult::Missing);
    EXPECT_EQ(missing->text(), QString());
    EXPECT_TRUE(QFile::exists(file()));
    EXPECT_EQ(settings::loadControl(key, *loaded), LoadResult::Missing);
    EXPECT_EQ(loaded->text(), QStringLiteral("12.5"));

    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(kKey, false));
        reg.writeInteger(QStringLiteral("txtYAxisMin"), 20);
        reg.writeString(QStringLiteral("chkOption"), QStringLiteral("1"));
    }
    auto mistyped = edit("txtYAxisMin");
    QCheckBox box;
    box.setObjectName(QStringLiteral("chkOption"));
    QCheckBox unnamedBox;
    const struct {
        const char* what;
        QWidget* control;
        LoadResult gReg;
    } cases[] = {
        {"integer under an edit's name", mistyped.get(), LoadResult::Failed},
        {"string under a check box's name", &box, LoadResult::Failed},
        {"check box with no value", &unnamedBox, LoadResult::Missing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(settings::GReg(key, *c.control), c.gReg);
        EXPECT_EQ(settings::loadControl(key, *c.control), c.gReg);
    }
    EXPECT_EQ(mistyped->text(), QStringLiteral("12.5"));
    EXPECT_FALSE(box.isChecked());
    EXPECT_FALSE(unnamedBox.isChecked());
}

} // namespace
