// Commands by id. A command goes to the frame, then the active view, the document and the
// application; the first target that handles it ends the route. Enabling is routed the same
// way: a target that handles a command answers OnUpdateCommand for it; a command no target
// answers is disabled (menus grey it, the toolbar disables it, its accelerator is swallowed).
#pragma once

class CommandState {
public:
    explicit CommandState(unsigned id) : id_(id) {}

    unsigned Id() const { return id_; }
    void Enable(bool enable = true) { enabled_ = enable; }
    void SetCheck(bool check = true) { checked_ = check; }
    bool Enabled() const { return enabled_; }
    bool Checked() const { return checked_; }

private:
    unsigned id_;
    bool enabled_ = true;
    bool checked_ = false;
};

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // Runs the command when this target handles it; true when handled. `code` is 0 for a menu,
    // 1 for an accelerator, or a control's notification code (CBN_SELENDOK ...).
    virtual bool OnCommand(unsigned id, unsigned code) { (void)id; (void)code; return false; }
    // True when this target handles the command; it may disable or check it in `state`.
    virtual bool OnUpdateCommand(CommandState& state) { (void)state; return false; }
};
