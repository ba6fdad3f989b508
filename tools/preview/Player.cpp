#include "tools/preview/Player.h"

#include "render/Letterbox.h"
#include "worktime/FrameRange.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Event.hpp>

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <cstdio>
#include <ctime>
#include <thread>

namespace tolva {

namespace {

constexpr int fps = Rehearsal::fps;

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The scene a digit key stands for; 0 for any other key.
int keyScene(sf::Keyboard::Key key)
{
    for (const sf::Keyboard::Key one : {sf::Keyboard::Num1, sf::Keyboard::Numpad1}) {
        const int scene = key - one + 1;
        if (scene >= 1 && scene <= static_cast<int>(sceneCount)) {
            return scene;
        }
    }
    return 0;
}

} // namespace

Player::Player(sf::RenderWindow& window, Rehearsal& show, bool paused)
    : window_(window), show_(show), canvas_(&frame_, nullptr), paused_(paused)
{
    frame_.create(showWidth, showHeight, BatchCanvas::targetSettings());
    font_.loadFromFile("fonts/Noot.ttf");  // the overlay's own: the show's fonts stay as the show left them
}

int Player::run(long from, std::string& problem)
{
    const Clock::time_point began = Clock::now();
    goTo(from);
    if (quit_) {
        return 0;
    }
    if (shown_ < from) {
        problem = fmt::format("--from {:.3f} is past the end of the show (it ends at {:.3f} s)",
                              show_.seconds(from), show_.seconds(shown_));
        return 2;
    }
    std::printf("tolva-preview: first frame %.2f s after the run-up began; %zu checkpoints, %.1f MB\n",
                std::chrono::duration<double>(Clock::now() - began).count(), show_.checkpointCount(),
                static_cast<double>(show_.checkpointBytes()) / 1e6);
    std::fflush(stdout);
    redraw();
    while (!quit_ && handleEvents()) {
        if (!paused_) {
            advance();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (dirty_) {
            redraw();
        }
    }
    show_.deck().silence();
    return 0;
}

// Shows iteration k: run up to its head unseen and unheard (from the nearest checkpoint), then
// draw it; live, the sound starts where the offline mix has it at that frame.
void Player::goTo(long k)
{
    const double target = show_.seconds(k);
    Clock::time_point lastNote = Clock::now();
    auto poll = [&] {
        if (!handleEvents()) {
            return false;
        }
        if (Clock::now() - lastNote > std::chrono::milliseconds(250)) {
            lastNote = Clock::now();
            window_.setView(window_.getDefaultView());
            window_.clear();
            sf::Text note(fmt::format("running up to {:.2f} s: {:.2f} s", target,
                                      show_.seconds(show_.next())),
                          font_, 28);
            note.setPosition(20.0f, 20.0f);
            window_.draw(note);
            window_.display();
        }
        return true;
    };
    k = std::max(0L, k);
    if (const auto last = show_.lastIteration()) {
        k = std::min(k, *last);
    }
    busy_ = true;
    show_.goTo(k, poll);
    busy_ = false;
    if (quit_) {
        return;
    }
    if (show_.ended()) {  // the show ended before k: its last frame then
        k = *show_.lastIteration();
        show_.goTo(k);
    }
    show_.deck().silence();
    render(false);
    if (!paused_) {
        anchor();
        show_.deck().placeAt(shown_);
    }
    say("at");
}

void Player::advance()
{
    const Clock::time_point now = Clock::now();
    const long due = anchor_ + static_cast<long>(std::chrono::duration<double>(now - anchorTime_).count() * fps);
    if (due <= shown_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return;
    }
    if (due - shown_ > fps) {
        // A second behind even without drawing the frames between: the picture slows down and
        // the sound starts again where the picture is.
        render(false);
        anchor();
        show_.deck().placeAt(shown_);
        return;
    }
    // The frames in between are run but not drawn: the pictures keep time with the clock.
    while (show_.next() < due && !show_.ended()) {
        show_.step(nullptr, true);
    }
    if (!show_.ended()) {
        render(true);
    } else {
        setPaused(true);
        goTo(*show_.lastIteration());
    }
}

void Player::render(bool audible)
{
    if (show_.ended()) {
        return;
    }
    const double cpu = threadCpuSeconds();
    show_.step(&canvas_, audible);
    stepCpuMs_ = (threadCpuSeconds() - cpu) * 1e3;
    frame_.display();
    dirty_ = true;
    shown_ = show_.next() - 1;
    drawCalls_ = canvas_.lastFrameDrawCalls();
    ++framesCounted_;
    const double counted = std::chrono::duration<double>(Clock::now() - countSince_).count();
    if (counted >= 1.0) {
        framesPerSecond_ = framesCounted_ / counted;
        framesCounted_ = 0;
        countSince_ = Clock::now();
    }
    if (show_.ended() && !paused_) {
        setPaused(true);
        say("the end");
    }
}

void Player::setPaused(bool paused)
{
    if (paused == paused_) {
        return;
    }
    paused_ = paused;
    if (paused_) {
        show_.deck().silence();
        return;
    }
    anchor();
    show_.deck().placeAt(shown_);
}

void Player::anchor()
{
    anchor_ = shown_;
    anchorTime_ = Clock::now();
}

bool Player::handleEvents()
{
    sf::Event event;
    while (!quit_ && window_.pollEvent(event)) {
        if (event.type == sf::Event::Closed) {
            quit_ = true;
        } else if (event.type == sf::Event::KeyPressed) {
            onKey(event.key.code);
            dirty_ = true;
        } else if (event.type == sf::Event::Resized || event.type == sf::Event::GainedFocus) {
            dirty_ = true;
        }
    }
    return !quit_;
}

void Player::onKey(sf::Keyboard::Key key)
{
    if (busy_ && key != sf::Keyboard::Escape) {
        return;  // running up: only quitting is taken
    }
    switch (key) {
    case sf::Keyboard::Escape:
        quit_ = true;
        return;
    case sf::Keyboard::Space:
        if (show_.ended()) {
            return;  // nothing after the end: seek back first
        }
        setPaused(!paused_);
        say(paused_ ? "paused at" : "playing from");
        return;
    case sf::Keyboard::Right:
        setPaused(true);
        if (!show_.ended()) {
            render(false);
            say("at");
        }
        return;
    case sf::Keyboard::Left:
        setPaused(true);
        goTo(shown_ - 1);
        return;
    case sf::Keyboard::PageDown:
        goTo(shown_ + 10 * fps);
        return;
    case sf::Keyboard::PageUp:
        goTo(shown_ - 10 * fps);
        return;
    case sf::Keyboard::Home:
        goTo(show_.sceneStart(show_.scene()).value_or(0));
        return;
    case sf::Keyboard::H:
        overlay_ = !overlay_;
        return;
    default:
        break;
    }
    if (const int scene = keyScene(key)) {
        // A scene not reached yet: run on until it has begun, then go to its first frame.
        if (!show_.sceneStart(scene)) {
            busy_ = true;
            show_.goTo(std::numeric_limits<long>::max(), [&] { return handleEvents() && !show_.sceneStart(scene); });
            busy_ = false;
        }
        if (const auto start = show_.sceneStart(scene)) {
            goTo(*start);
        }
    }
}

void Player::redraw()
{
    dirty_ = false;
    window_.clear();
    fitShowView(window_);
    // Unscaled, every pixel exactly as drawn; scaled, smoothed.
    frame_.setSmooth(window_.getSize() != sf::Vector2u(showWidth, showHeight));
    window_.draw(sf::Sprite(frame_.getTexture()));
    if (overlay_) {
        const sf::Vector2u size = window_.getSize();
        window_.setView(sf::View(sf::FloatRect(0.0f, 0.0f, static_cast<float>(size.x),
                                               static_cast<float>(size.y))));
        sf::Text text(overlayText(), font_, 20);
        text.setPosition(16.0f, 10.0f);
        const sf::FloatRect bounds = text.getGlobalBounds();
        sf::RectangleShape back(sf::Vector2f(bounds.width + 24.0f, bounds.height + 24.0f));
        back.setPosition(bounds.left - 12.0f, bounds.top - 12.0f);
        back.setFillColor(sf::Color(0, 0, 0, 170));
        window_.draw(back);
        window_.draw(text);
    }
    window_.display();
}

std::string Player::overlayText() const
{
    const int scene = show_.scene();
    const float countdown = show_.show().state.countdown[static_cast<std::size_t>(scene)];
    return fmt::format("{:.3f} s   frame {}   scene {}   countdown{} {:.3f}{}\n"
                       "{:.1f} frames/s   {} draw calls   last step {:.1f} ms CPU\n"
                       "checkpoints: {}, {:.0f} MB",
                       show_.seconds(shown_), shown_, scene, scene, countdown,
                       paused_ ? "   paused" : "", framesPerSecond_, drawCalls_, stepCpuMs_,
                       show_.checkpointCount(), static_cast<double>(show_.checkpointBytes()) / 1e6);
}

void Player::say(const char* what) const
{
    std::printf("tolva-preview: %s %.3f s (frame %ld), scene %d%s\n", what, show_.seconds(shown_),
                shown_, show_.scene(), paused_ ? ", paused" : "");
    std::fflush(stdout);
}

} // namespace tolva
