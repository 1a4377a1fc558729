#include "documentchanges.h"

#include "document/ovsfile.h"

#include <QCoreApplication>
#include <QEvent>
#include <QUndoCommand>

QString StepText::text() const
{
    if (!m_source)
        return m_fixed;
    const QString translated = QCoreApplication::translate(m_context, m_source);
    return m_number < 0 ? translated : translated.arg(m_number);
}

// One step of the history: the configuration before and after. The record is small,
// so whole snapshots are kept rather than the edit that led from one to the other.
class DocumentChanges::Step : public QUndoCommand
{
public:
    Step(DocumentChanges &owner, const Configuration &before, const Configuration &after,
         const StepText &text, Kind kind)
        : QUndoCommand(text.text())
        , m_owner(owner)
        , m_before(before)
        , m_after(after)
        , m_kind(kind)
        , m_text(text)
    {
    }
    ~Step() override
    {
        if (m_owner.m_lastReadout == this)
            m_owner.m_lastReadout = nullptr;
    }

    // A readout's step takes the document away from its file and back.
    void leaveFile(const QString &fileName)
    {
        m_readout = true;
        m_fileName = fileName;
    }

    void undo() override
    {
        Document &doc = m_owner.m_document;
        if (m_readout && doc.fileName.isEmpty())
            doc.fileName = m_fileName;
        m_owner.install(m_before, m_kind);
        if (m_owner.m_lastReadout == this)
            emit m_owner.readoutUndoneChanged(true);
    }
    void redo() override
    {
        Document &doc = m_owner.m_document;
        if (m_readout && doc.fileName == m_fileName)
            doc.fileName.clear();
        m_owner.install(m_after, m_kind);
        if (m_owner.m_lastReadout == this)
            emit m_owner.readoutUndoneChanged(false);
    }
    void retranslate() { setText(m_text.text()); }

private:
    DocumentChanges &m_owner;
    const Configuration m_before;
    const Configuration m_after;
    const Kind m_kind;
    const StepText m_text;
    bool m_readout = false;
    // The file the document belonged to before the readout.
    QString m_fileName;
};

DocumentChanges::DocumentChanges(Document &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_saved(encodeOvs(document.currentConfig))
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

DocumentChanges::~DocumentChanges()
{
    // The steps refer back to this object; they go while it is still whole.
    m_stack.clear();
}

bool DocumentChanges::apply(const Configuration &after, const StepText &text, Kind kind)
{
    if (after == m_document.currentConfig)
        return false;
    m_stack.push(new Step(*this, m_document.currentConfig, after, text, kind));
    return true;
}

bool DocumentChanges::applyReadout(const Configuration &after, const StepText &text)
{
    m_lastReadout = nullptr;
    if (after == m_document.currentConfig)
        return false;
    auto *step = new Step(*this, m_document.currentConfig, after, text, Kind::Replacement);
    step->leaveFile(m_document.fileName);
    m_lastReadout = step;
    m_stack.push(step);
    return true;
}

void DocumentChanges::setFileName(const QString &fileName)
{
    if (m_document.fileName == fileName)
        return;
    m_document.fileName = fileName;
    emit fileStateChanged();
}

void DocumentChanges::replaceAll(const Configuration &config)
{
    m_saved = encodeOvs(config);
    m_touched = false;
    m_stack.clear();
    install(config, Kind::Replacement);
}

void DocumentChanges::markSaved()
{
    m_saved = encodeOvs(m_document.currentConfig);
    m_touched = false;
    m_stack.setClean();
    m_document.modified = false;
    emit fileStateChanged();
}

void DocumentChanges::touch()
{
    m_touched = true;
    m_document.modified = true;
    emit fileStateChanged();
}

void DocumentChanges::refresh()
{
    emit configurationChanged(Kind::Replacement);
}

bool DocumentChanges::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::LanguageChange)
        retranslateSteps();
    return QObject::eventFilter(watched, event);
}

void DocumentChanges::retranslateSteps()
{
    // Every command on the stack is a Step of this object.
    for (int i = 0; i < m_stack.count(); ++i)
        const_cast<Step *>(static_cast<const Step *>(m_stack.command(i)))->retranslate();
}

void DocumentChanges::install(const Configuration &config, Kind kind)
{
    m_document.currentConfig = config;
    // A mark without a change lasts until the configuration changes.
    m_touched = false;
    updateModified();
    emit configurationChanged(kind);
    emit fileStateChanged();
}

// After every step, undo and redo alike. The record is encoded in well under a
// microsecond, so comparing what Save would write costs nothing worth keeping state for.
void DocumentChanges::updateModified()
{
    m_document.modified = m_touched || encodeOvs(m_document.currentConfig) != m_saved;
}

namespace {
const char kContext[] = "DocumentChanges";

StepText channelsText(const QList<int> &channels, const char *one, const char *many)
{
    if (channels.size() == 1)
        return {kContext, one, channels.first() + 1};
    return {kContext, many, int(channels.size())};
}
} // namespace

StepText DocumentChanges::placeText(const QList<int> &channels)
{
    return channelsText(channels, QT_TRANSLATE_NOOP("DocumentChanges", "Place Channel %1"),
                        QT_TRANSLATE_NOOP("DocumentChanges", "Place %1 screens"));
}

StepText DocumentChanges::moveText(const QList<int> &channels)
{
    return channelsText(channels, QT_TRANSLATE_NOOP("DocumentChanges", "Move Channel %1"),
                        QT_TRANSLATE_NOOP("DocumentChanges", "Move %1 screens"));
}

StepText DocumentChanges::removeText(const QList<int> &channels)
{
    return channelsText(channels, QT_TRANSLATE_NOOP("DocumentChanges", "Remove Channel %1"),
                        QT_TRANSLATE_NOOP("DocumentChanges", "Remove %1 screens"));
}

StepText DocumentChanges::resizeText(int channel)
{
    return {kContext, QT_TRANSLATE_NOOP("DocumentChanges", "Resize Channel %1"), channel + 1};
}

StepText DocumentChanges::resolutionText(int channel)
{
    return {kContext, QT_TRANSLATE_NOOP("DocumentChanges", "Set resolution of Channel %1"),
            channel + 1};
}

StepText DocumentChanges::mouseSpeedText()
{
    return {kContext, QT_TRANSLATE_NOOP("DocumentChanges", "Set mouse speed")};
}

StepText DocumentChanges::switchingText(bool on)
{
    return {kContext, on ? QT_TRANSLATE_NOOP("DocumentChanges", "Switch Orvanel Switching on")
                         : QT_TRANSLATE_NOOP("DocumentChanges", "Switch Orvanel Switching off")};
}
