#!/bin/sh
# sshd.sh start DIR SESSION_PATH | stop DIR: a private sshd for the farm's tests, on a loopback
# port free at the time, with its own host and user keys in DIR. Its sessions run as this user
# with PATH set to SESSION_PATH, no DISPLAY, and DIR/home as their home and working folder, so
# what a "remote" part leaves behind is seen there. The port goes to DIR/port, and DIR/ssh is
# the ssh command line (without the host) that reaches it. Started, it stops itself after an
# hour at the latest, whatever becomes of the test.
set -eu
dir=$2
case $1 in
start)
    mkdir -p "$dir/home"
    rm -f "$dir/host_key" "$dir/user_key"
    ssh-keygen -q -t ed25519 -N '' -f "$dir/host_key"
    ssh-keygen -q -t ed25519 -N '' -f "$dir/user_key"
    # The session's folder and home are the test's; its command runs as ssh asked.
    # (Set here, after the login shell's own start-up files.)
    printf 'command="cd %s && HOME=%s PATH=%s TOLVA_FARM_DISPLAY_FROM=%s exec /bin/sh -c \\"$SSH_ORIGINAL_COMMAND\\"",no-pty,no-agent-forwarding,no-X11-forwarding %s\n' \
        "$dir/home" "$dir/home" "$3" "${TOLVA_FARM_DISPLAY_FROM:-99}" "$(cat "$dir/user_key.pub")" > "$dir/authorized_keys"
    mkdir -p /run/sshd  # sshd's privilege separation folder, which its service would make
    for _ in 1 2 3 4 5; do
        port=$(shuf -i 20000-60999 -n 1)
        if ss -Htln "sport = :$port" | grep -q .; then continue; fi
        cat > "$dir/sshd_config" <<CONFIG
ListenAddress 127.0.0.1
Port $port
HostKey $dir/host_key
AuthorizedKeysFile $dir/authorized_keys
PidFile $dir/sshd.pid
StrictModes no
UsePAM no
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
X11Forwarding no
LogLevel ERROR
AcceptEnv GALLIUM_DRIVER
CONFIG
        timeout 3600 /usr/sbin/sshd -D -e -f "$dir/sshd_config" < /dev/null > /dev/null 2> "$dir/sshd.log" &
        echo $! > "$dir/timeout.pid"
        printf 'ssh -p %s -i %s -o IdentitiesOnly=yes -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR -o BatchMode=yes -o ConnectTimeout=10\n' \
            "$port" "$dir/user_key" > "$dir/ssh"
        for _ in $(seq 50); do
            if $(cat "$dir/ssh") 127.0.0.1 true 2> /dev/null; then
                echo "$port" > "$dir/port"
                exit 0
            fi
            kill -0 "$(cat "$dir/timeout.pid")" 2> /dev/null || break
            sleep 0.1
        done
        kill "$(cat "$dir/timeout.pid")" 2> /dev/null || true
    done
    echo "sshd.sh: no private sshd could be started: $(cat "$dir/sshd.log")" >&2
    exit 1
    ;;
stop)
    # sshd itself first (its sessions end with it), then the time limit around it.
    [ ! -f "$dir/sshd.pid" ] || kill "$(cat "$dir/sshd.pid")" 2> /dev/null || true
    [ ! -f "$dir/timeout.pid" ] || kill "$(cat "$dir/timeout.pid")" 2> /dev/null || true
    rm -f "$dir/sshd.pid" "$dir/timeout.pid" "$dir/port"
    ;;
esac
