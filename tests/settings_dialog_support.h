#pragma once
// A settings dialog on its own settings file, with hooks that record what the dialog asked of
// the application.

#include "settings/colour_table.h"
#include "settings/registry.h"
#include "settings/settings_dialog.h"
#include "settings/store_path.h"

#include "engine/types.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace settings_test {

inline const QString kKey = QStringLiteral("\\Software\\Drevmark\\Spectrion");

// The string table's entries for the dialog.
inline QString germanText(int number)
{
    static const std::map<int, const char*> table = {
        {65201, "Skalen"},          {65202, "Maximum Y-Achse"},
        {65203, "Minimum Y-Achse"}, {65204, "Schrittw. Y-Achse"},
        {65205, "Grafik"},          {65206, "Signalverarbeitung"},
        {65207, "Farben"},          {65208, "Ändern"},
        {65215, "Standard"},        {65216, "Hell"},
        {65217, "Schließen"},       {65218, "Fenster"},
        {65228, "Eingang"},         {65275, "Drevmark"},
        {65277, "Spectrion"},
    };
    const auto it = table.find(number);
    return it == table.end() ? QString() : QString::fromUtf8(it->second);
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settings::setStorePath(file());
    }
    void TearDown() override { settings::setStorePath(QString()); }

    QString file() const { return dir.filePath(QStringLiteral("settings.json")); }

    // What the dialog asked of the application since the last reset.
    struct Calls {
        int repaints = 0;
        int inputResets = 0;
        std::vector<engine::TColor> backgrounds;
        QStringList messages;
    };

    settings::TfrmSettings::Hooks hooks()
    {
        settings::TfrmSettings::Hooks h;
        h.text = germanText;
        h.repaintRtaGrid = [this] {
            ++calls.repaints;
            if (onRepaint)
                onRepaint();
        };
        h.resetInputDevice = [this] { ++calls.inputResets; };
        h.setGraphBackground = [this](engine::TColor c) { calls.backgrounds.push_back(c); };
        h.showMessage = [this](const QString& m) { calls.messages << m; };
        return h;
    }

    std::unique_ptr<settings::TfrmSettings> create(settings::ColourTable& table)
    {
        calls = Calls();
        return std::make_unique<settings::TfrmSettings>(nullptr, table, window, hooks());
    }
    std::unique_ptr<settings::TfrmSettings> create() { return create(colours); }

    template <typename Widget>
    static Widget* child(const settings::TfrmSettings& dialog, const char* name)
    {
        auto* found = dialog.findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The user leaving a field (the dialog's check runs on the focus leaving it).
    static void leave(QLineEdit& field)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&field, &out);
    }

    QByteArray fileBytes() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The settings key's object as the file holds it.
    QJsonObject storedKey() const
    {
        QJsonValue node = QJsonDocument::fromJson(fileBytes()).object();
        for (const char* part : {"HKEY_LOCAL_MACHINE", "Software", "Drevmark", "Spectrion"})
            node = node.toObject().value(QLatin1String(part));
        return node.toObject();
    }

    // The values a close of the dialog leaves in the key, with these colours and level texts.
    static QJsonObject completeValues(const settings::ColourSet& set, const QString& max = "90",
                                      const QString& min = "30", const QString& step = "5")
    {
        QJsonObject key{
            {"WaveDevice1", -1},  {"txtXAxisMin", "25"}, {"txtXAxisMax", "16000"},
            {"txtYAxisMin", min}, {"txtYAxisMax", max},  {"txtYAxisStep", step},
        };
        for (int n = 1; n <= 16; ++n)
            key.insert(QStringLiteral("Color%1").arg(n), qint64(std::int32_t(set[std::size_t(n)])));
        return key;
    }

    // Replaces the file with one holding only the settings key with these values.
    void writeKey(const QJsonObject& values) const
    {
        QJsonObject tree = values;
        for (const char* part : {"Spectrion", "Drevmark", "Software", "HKEY_LOCAL_MACHINE"})
            tree = QJsonObject{{QLatin1String(part), tree}};
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(tree).toJson());
    }

    void writeCompleteStore(const settings::ColourSet& set, const QString& max = "90",
                            const QString& min = "30", const QString& step = "5") const
    {
        writeKey(completeValues(set, max, min, step));
    }

    QTemporaryDir dir;
    settings::ColourTable colours;
    std::array<double, engine::kBlockSamples> window{};
    Calls calls;
    std::function<void()> onRepaint;
};

} // namespace settings_test
