// client.h: the one client object of a process. It owns every subsystem's
// state, the main window's controls and the timers, and receives the
// platform's events.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "anigif/gif_player.h"
#include "claims/claims_state.h"
#include "dispatch/dispatch_state.h"
#include "link/launch_line.h"
#include "link/leave.h"
#include "link/proxy.h"
#include "link/picture_resources.h"
#include "link/received_text.h"
#include "link/sound_playback.h"
#include "link/wire_codec.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "props/props_state.h"
#include "results/results_state.h"
#include "shared/wire.h"
#include "shell/shell_state.h"
#include "table/table_state.h"
#include "video/video_state.h"

namespace mj::link {

// A task the tick runs when its flag is on and its counter reached its
// threshold.
struct Task {
    bool on = false;
    int ticks = 0;
};

// The hall's window messages.
inline constexpr std::uint32_t HallConnectPending = 22;

struct LinkState {
    ByteRing recvRing;
    ByteRing sendRing;
    WireMessage msg{};  // the message being dispatched
    CmdInfo info;       // its command record
    std::array<std::uint8_t, 2> echoByte{};
    std::string chatOut;  // the chat line the next command 19 carries

    Task sendTask, recvTask, loginTask, blinkTask, linkCheck, turnCountdown, readyCountdown, bubbleTask;
    int recvWatchdog = 0;
    double turnTickStart = 0;
    double readyTickStart = 0;
    int countdownSeconds = 0;
    int countdownStart = 8;
    int timeoutCount = 0;
    int timeoutLimit = 0;

    bool holdCigaretteMsg = false;
    bool holdRenderCigaretteMsg = false;
    std::optional<WireMessage> heldCigaretteMsg;
    std::optional<WireMessage> heldRenderCigaretteMsg;
    bool holdQuitMsg = false;

    LaunchConfig launch;
    WireMessage loginMsg{};
    // Set while reconnect attempts run: sent in place of the login message.
    std::optional<WireMessage> reconnectMsg;
    // The key the server gave for reconnecting, kept as its four bytes.
    std::array<std::uint8_t, 4> sessionKey{};
    bool loginSent = false;
    bool loggedIn = false;
    bool inGame = false;
    bool canReconnect = false;  // a lost link may be re-established
    bool reconnected = false;
    bool leaveAfterGame = false;
    bool proxyHandshakeDone = true;
    bool autoPlayOn = false;
    bool notStartedYet = true;
    bool readySent = false;
    bool startPressed = false;
    bool initInProgress = false;
    bool handRunning = false;
    int juNum = 0;

    std::string hallCaption = DefaultHallTitle;
    platform::WindowHandle hallHwnd = 0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    bool musicOn = false;
    bool effectsOn = false;
    SoundState sound;
    PictureTables pictures;
    ReceivedTextState receivedText;
    // Messages refused because the send ring was full.
    int sendRingRefused = 0;
};

class Client : public platform::SocketEvents {
public:
    explicit Client(platform::Platform& platform);
    ~Client() override;
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    platform::Platform& p;
    LinkState link;
    ProxyLink proxy;
    SessionState session;
    dispatch::DispatchState dispatch;
    table::TableState table;
    claims::ClaimsState claims;
    shell::ShellState shell;
    props::PropsState props;
    results::ResultsState results;
    video::VideoState video;

    // The main window and the controls the link uses; the layout adds the rest.
    ui::Form mainForm{"MainForm"};
    ui::PictureBox* pic1 = nullptr;
    ui::PictureBox* pic2 = nullptr;
    std::array<ui::ListBox*, 2> sysmsg{};
    ui::Label* location = nullptr;
    ui::Label* number = nullptr;
    ui::Image* timeImg = nullptr;
    // The consecutive-wild animation on the table, played on `bombPlayer`.
    std::unique_ptr<anigif::GifPlayer> bombPlayer;
    // The chat history window and its list; the quick-phrase lists.
    ui::Form talk{"Talk"};
    ui::ListBox* talkText1 = nullptr;
    std::vector<std::string> phrases1;
    std::vector<std::string> phrases2;
    // The notice that an offered win lacks fan; the claim code shows it, an
    // offer with the win bit hides it.
    ui::Form frmZhahu{"frmZhahu"};

    std::unique_ptr<platform::VideoSocket> p2pSocket;
    // Decoded resource pictures, kept for the whole run.
    PictureLoader pictureLoader;

    std::unique_ptr<platform::Timer> timerBong;
    std::unique_ptr<platform::Timer> timerChat;
    std::unique_ptr<platform::Timer> timerKeepAlive;

    // ---- start-up, window state, shut-down
    void formLoad();
    void formResize();
    void formUnload();

    // ---- the fatal path: restore the hall window and end the process.
    [[noreturn]] void fatal(std::string_view why);
    // Runs `work` under the fatal trap: any exception takes the fatal path.
    void trapped(std::string_view where, const std::function<void()>& work);
    // Runs `work` and logs and drops any exception (errors ignored).
    void ignoringErrors(std::string_view where, const std::function<void()>& work);

    // ---- hall window
    void restoreHallWindow();
    void minimizeHallWindow();
    void postToHall(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // ---- messages
    void resetRingBuffers();
    // Encodes the record and queues it; a full ring refuses it (logged).
    void sendCommand(CmdInfo& info);
    // Stamps the echo bytes into the message and queues it.
    void sendRawMessage(WireMessage& m);
    // Takes one message off the receive ring into `msg` and `info`.
    void decodeMessage();

    // ---- the scheduler tick and its timers
    void timerBongTick();
    void timerChatTick();
    void timerKeepAliveTick();

    // ---- socket events
    void onConnected() override;
    void onData(std::span<const std::uint8_t> bytes) override;
    void onClosed(int errorCode) override;

    void log(std::string_view line) { p.process.log(line); }

    // Seams for the handlers other subsystems provide; each defaults to the
    // smallest behaviour the client needs until that subsystem fills it.
    std::function<void(Client&)> dispatchServerCommand;
    std::function<void(Client&)> autoPlay;
    std::function<void(Client&)> timeoutDefaultAction;
    std::function<void(Client&, int& keyCode, int shift)> pic1KeyDown;
    // The player card of view 0..3, as the pointer on that seat's face opens it.
    std::function<void(Client&, int view)> showPlayerCard;
    std::function<void(Client&)> resetSession;
    std::function<void(Client&)> resetRoundData;
    std::function<void(Client&)> resetHandDisplay;
    std::function<void(Client&)> resetTableForHand;
    std::function<void(Client&)> newGameResetRoundData;
    std::function<void(Client&)> showSettlement;
    std::function<void(Client&)> initSeatLayout;
    std::function<void(Client&)> initTableControls;
    // Paints the window's own frame once its final size is known.
    std::function<void(Client&)> drawFormSkin;
    // Where received chat lines go beyond the history and the message strip.
    std::function<std::string(std::string_view)> filterChatText;
    std::function<void(int view, const std::string& phrase)> showSpeakBubble;
    // Loads the history and quick-phrase windows before a received line needs them.
    std::function<void(Client&)> loadChatWindows;
    std::function<void(const WireMessage&)> relayToProps;
    // The SOCKS5 connection and the proxy's reply bytes.
    std::function<void(Client&)> connectViaProxy;
    std::function<void(Client&, std::span<const std::uint8_t>)> onProxyData;
    // The reconnect attempts after a lost link.
    std::function<void(Client&)> startReconnect;
    // The chat button's picture on each blink run, given the flash count
    // before this run took one off (0: not flashing).
    std::function<void(Client&, int chatBlinkBefore)> onChatButtonBlink;
    // Shows or hides the own camera picture (running, hide).
    std::function<void(Client&, bool running, bool hide)> showOwnVideo;
    // The table display of one seat's claim reported by the server (op, seat
    // bit, the three tiles of the report), on the player and on the spectator table.
    std::function<void(Client&, int op, int seatBit, const std::array<int, 3>& tiles)> showAction;
    std::function<void(Client&, int op, int seatBit, const std::array<int, 3>& tiles)> sideShowAction;
    // Calls of the hand's commands into the video link, the props plug-in and
    // the shell's notice windows (the exit notice unloaded when shown, the
    // not-enough-fan notice hidden) and the player records' voice fields;
    // empty until those subsystems fill them.
    std::function<void(Client&)> startOwnCamera;
    std::function<void(Client&)> loginVideoServer;
    std::function<void(Client&)> requestTableVideo;
    std::function<void(Client&)> closePropDisplay;
    std::function<void(Client&)> unloadExitDialog;
    std::function<void(Client&)> unloadOtherExit;
    // The ready countdown at 0 opens the seat-change screen when one is wanted.
    std::function<void(Client&)> openSeatChange;
    // Leaving the table and a player's profile take the seat-change screen down.
    std::function<void(Client&)> closeSeatChange;
    std::function<void(Client&)> hideZhahu;
    std::function<VoiceId(Client&, int view)> playerVoice;
    // The seating commands' neighbours. Registers, creates and initialises
    // the props plug-in (without it the plug-in stays unused); unloads it
    // with the given flag.
    std::function<void(Client&)> initGameDll;
    std::function<void(Client&, int flag)> exitGameDll;
    // Hides and unloads the floating video panel of view 1..3.
    std::function<void(Client&, int view)> closeRemotePanel;
    // Hides the floating video panel of view 1..3; it keeps its size.
    std::function<void(Client&, int view)> hideRemotePanel;
    // Stops all table video: the seats' pictures, the peer links, the
    // floating panels and the own camera (every gold result ends with it).
    std::function<void(Client&)> leaveVideo;
    // Leaving the table with video on: the camera, every seat's video, its
    // slot, panel and frame, and the video login.
    std::function<void(Client&)> leaveTableVideo;
    // Hands the video components made at start-up their event receivers.
    std::function<void(Client&)> connectVideoComponents;
    // Builds the spectator table from the four buffered profiles.
    std::function<void(Client&)> setupSpectatorTable;
    // Puts a view's name and face (dispatch.resultPlayer) on the result boards.
    std::function<void(Client&, int view)> showBoardPlayer;
    // A props plug-in request other than a message to send; the request's
    // fields stay for the next one, and the action may empty some.
    std::function<void(Client&, platform::PropRequest&)> onPropRequest;
    // The treasure-box phase once the plug-in has the hand-end box data, and
    // its countdown, a task of every tick.
    std::function<void(Client&)> startBaoXiang;
    std::function<void(Client&)> boxCountdown;

private:
    void buildMainFormDesign();
    void sendTask();
    void receiveTask();
    void loginTask();
    void blinkTask();
    void turnCountdownTask();
    void readyCountdownTask();
    void linkCheckTask();
    // Both false when the plug-in went away meanwhile: the tick ends there.
    bool propsTasks();
    // Shuts a plug-in that failed down, as if it had never loaded.
    void retireFaultyPlugin();
    bool settlementHandOff();
    // The hall window, looked up again; ends the process when it is gone, 0
    // when no hall is known.
    platform::WindowHandle hallOrEnd();
    void showCountdownNumber();
    void sendReady();
    void setMessageStrip(std::string_view text);
    void connectDirect();

    bool tickRunning_ = false;
};

}  // namespace mj::link
