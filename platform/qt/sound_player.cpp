#include "platform/qt/sound_player.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSoundEffect>
#include <QUrl>

#include "platform/files.h"

namespace platform {

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer() { release(); }

void SoundPlayer::release()
{
    if (!effect_)
        return;
    effect_->stop();
    // A sound still loading is finished first (briefly, and never waiting
    // for playback), so that its loader does not outlive the effect.
    QDeadlineTimer limit(1000);
    while (effect_->status() == QSoundEffect::Loading && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    effect_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SoundPlayer::play(const std::string& file)
{
    if (!platform::FileExists(file))
        return;
    release();
    // A fresh effect per sound: the source of a playing one is not changed.
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(file))));
    effect_->play();
}

}  // namespace platform
