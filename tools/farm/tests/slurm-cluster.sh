#!/bin/sh
# slurm-cluster.sh start DIR | stop DIR: a one-node Slurm cluster of its own for the farm's tests,
# everything in DIR: munged with its own key and socket (the machine's own, if any, is left
# alone), slurmctld and slurmd as root on loopback ports free at the time, their state, spool,
# logs and pid files. DIR/slurm.conf is what SLURM_CONF must name. Started, it waits until the
# node is idle, and stops itself after `TOLVA_CLUSTER_LIMIT` seconds (default 900) whatever
# becomes of the test; stop ends the daemons and waits until they are gone. It needs no systemd
# nor cgroups: processes are tracked by their parents, tasks are not confined.
set -eu
dir=$2

pid_of() { [ -f "$1" ] && cat "$1" 2> /dev/null || true; }
running() { [ -n "$1" ] && kill -0 "$1" 2> /dev/null; }

stop() {
    if [ -f "$dir/slurm.conf" ]; then
        SLURM_CONF=$dir/slurm.conf timeout 20 scontrol shutdown > /dev/null 2>&1 || true
    fi
    # Whatever did not go politely goes now; then munged, whose socket the daemons used.
    for _ in $(seq 100); do
        running "$(pid_of "$dir/slurmctld.pid")" || running "$(pid_of "$dir/slurmd.pid")" || break
        sleep 0.1
    done
    for file in slurmctld.pid slurmd.pid munge/pid; do
        pid=$(pid_of "$dir/$file")
        if running "$pid"; then
            kill "$pid" 2> /dev/null || true
            for _ in $(seq 50); do running "$pid" || break; sleep 0.1; done
            ! running "$pid" || kill -KILL "$pid" 2> /dev/null || true
        fi
    done
    watchdog=$(pid_of "$dir/watchdog.pid")
    if running "$watchdog"; then kill "$watchdog" 2> /dev/null || true; fi
    rm -f "$dir/watchdog.pid"
}

free_port() {
    for _ in $(seq 20); do
        port=$(shuf -i 20000-60999 -n 1)
        if ! ss -Htan "sport = :$port" | grep -q .; then
            echo "$port"
            return
        fi
    done
    echo "slurm-cluster.sh: no free port" >&2
    exit 1
}

case $1 in
start)
    mkdir -p "$dir/state" "$dir/spool" "$dir/munge"
    chmod 700 "$dir/munge"
    dd if=/dev/urandom of="$dir/munge/key" bs=1024 count=1 status=none
    chmod 400 "$dir/munge/key"
    munged --key-file "$dir/munge/key" --socket "$dir/munge/socket" --pid-file "$dir/munge/pid" \
        --seed-file "$dir/munge/seed" --log-file "$dir/munge/log" -f
    # Two processors at most, however many the machine has: two jobs at a time, whose X
    # servers the tests' display numbers leave room for.
    cpus=$(nproc)
    [ "$cpus" -le 2 ] || cpus=2
    controller=$(free_port)
    node=$(free_port)
    while [ "$node" = "$controller" ]; do node=$(free_port); done
    cat > "$dir/slurm.conf" <<CONF
ClusterName=tolvatest
SlurmctldHost=localhost(127.0.0.1)
SlurmctldPort=$controller
SlurmdPort=$node
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/munge/socket
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
MpiDefault=none
MailProg=/bin/true
SchedulerParameters=sched_interval=1
NodeName=tolva1 NodeHostname=$(hostname) NodeAddr=127.0.0.1 CPUs=$cpus State=UNKNOWN
PartitionName=tolva Nodes=tolva1 Default=YES MaxTime=INFINITE State=UP
CONF
    # The watchdog: however the test ends, the cluster does not outlive it by much.
    limit=${TOLVA_CLUSTER_LIMIT:-900}
    setsid sh -c 'sleep "$1"; "$2" stop "$3"' watchdog "$limit" "$0" "$dir" < /dev/null > /dev/null 2>&1 &
    echo $! > "$dir/watchdog.pid"
    export SLURM_CONF="$dir/slurm.conf"
    slurmctld -f "$SLURM_CONF"
    slurmd -f "$SLURM_CONF" -N tolva1
    for _ in $(seq 150); do
        if sinfo -h -o %T 2> /dev/null | grep -qx idle; then
            exit 0
        fi
        sleep 0.2
    done
    echo "slurm-cluster.sh: the node did not come up" >&2
    tail -n 5 "$dir/slurmctld.log" "$dir/slurmd.log" >&2 || true
    stop
    exit 1
    ;;
stop)
    stop
    ;;
esac
