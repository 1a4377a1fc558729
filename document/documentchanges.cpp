#include "documentchanges.h"

#include <QUndoCommand>

#include <algorithm>

// One step of the history: the configuration before and after. The record is small,
// so whole snapshots are kept rather than the edit that led from one to the other.
class DocumentChanges::Step : public QUndoCommand
{
public:
    Step(DocumentChanges &owner, const Configuration &before, const Configuration &after,
         const QString &text, Kind kind, Effect effect)
        : QUndoCommand(text)
        , m_owner(owner)
        , m_before(before)
        , m_after(after)
        , m_kind(kind)
        , effect(effect)
    {
    }

    void undo() override { m_owner.install(m_before, m_kind); }
    void redo() override { m_owner.install(m_after, m_kind); }

private:
    DocumentChanges &m_owner;
    const Configuration m_before;
    const Configuration m_after;
    const Kind m_kind;

public:
    const Effect effect;
};

DocumentChanges::DocumentChanges(Document &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] { updateModifiedAfterNavigation(); });
}

DocumentChanges::~DocumentChanges()
{
    // The steps refer back to this object; they go while it is still whole.
    m_stack.clear();
}

bool DocumentChanges::apply(const Configuration &after, const QString &text, Kind kind,
                            Effect effect)
{
    if (after == m_document.currentConfig)
        return false;
    m_pushing = true;
    m_stack.push(new Step(*this, m_document.currentConfig, after, text, kind, effect));
    m_pushing = false;
    if (effect == Effect::MarksModified)
        m_document.modified = true;
    return true;
}

void DocumentChanges::replaceAll(const Configuration &config)
{
    m_pushing = true;
    m_stack.clear();
    m_pushing = false;
    m_document.modified = false;
    install(config, Kind::Replacement);
}

void DocumentChanges::markSaved()
{
    m_stack.setClean();
    m_document.modified = false;
}

void DocumentChanges::touch()
{
    m_document.modified = true;
}

void DocumentChanges::refresh()
{
    emit configurationChanged(Kind::Replacement);
}

void DocumentChanges::install(const Configuration &config, Kind kind)
{
    m_document.currentConfig = config;
    emit configurationChanged(kind);
}

// After an undo or redo the document is unsaved exactly when a step that marks it lies
// between the saved state and the current one; once the saved state can no longer be
// reached (a new step replaced the steps after it), it always is.
void DocumentChanges::updateModifiedAfterNavigation()
{
    if (m_pushing)
        return;
    const int clean = m_stack.cleanIndex();
    const int index = m_stack.index();
    if (clean < 0) {
        m_document.modified = true;
        return;
    }
    bool modified = false;
    for (int k = std::min(clean, index); k < std::max(clean, index); ++k) {
        const auto *step = static_cast<const Step *>(m_stack.command(k));
        if (step->effect == Effect::MarksModified)
            modified = true;
    }
    m_document.modified = modified;
}

namespace {
QString channelsText(const QList<int> &channels, const char *one, const char *many)
{
    if (channels.size() == 1)
        return DocumentChanges::tr(one).arg(channels.first() + 1);
    return DocumentChanges::tr(many).arg(channels.size());
}
} // namespace

QString DocumentChanges::placeText(const QList<int> &channels)
{
    return channelsText(channels, QT_TRANSLATE_NOOP("DocumentChanges", "Place Channel %1"),
                        QT_TRANSLATE_NOOP("DocumentChanges", "Place %1 screens"));
}

QString DocumentChanges::moveText(const QList<int> &channels)
{
    return channelsText(channels, QT_TRANSLATE_NOOP("DocumentChanges", "Move Channel %1"),
                        QT_TRANSLATE_NOOP("DocumentChanges", "Move %1 screens"));
}

QString DocumentChanges::removeText(const QList<int> &channels)
{
    return channelsText(channels, QT_TRANSLATE_NOOP("DocumentChanges", "Remove Channel %1"),
                        QT_TRANSLATE_NOOP("DocumentChanges", "Remove %1 screens"));
}

QString DocumentChanges::resizeText(int channel)
{
    return tr("Resize Channel %1").arg(channel + 1);
}

QString DocumentChanges::resolutionText(int channel)
{
    return tr("Set resolution of Channel %1").arg(channel + 1);
}

QString DocumentChanges::mouseSpeedText()
{
    return tr("Set mouse speed");
}

QString DocumentChanges::switchingText(bool on)
{
    return on ? tr("Switch Orvanel Switching on") : tr("Switch Orvanel Switching off");
}
