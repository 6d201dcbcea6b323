#!/bin/bash
# The README's Slurm job array on a real cluster of this one machine: a munged, a slurmctld and
# a slurmd of the test's own, configured in a temporary folder, run the README's share.sh over
# a small tree with the README's sbatch command (three tasks in place of sixteen); every output
# must match pdftotext. The daemons and jobs are stopped however the test ends.
# Usage: slurm-job-array.sh README PROGRAM-FOLDER SAMPLES-FOLDER
set -euo pipefail
readme=$1 programs=$(realpath "$2") samples=$3
tasks=3

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || { echo "SKIP: the test's daemons run as root (SlurmUser=root)"; exit 77; }
export PATH=$programs:$PATH:/usr/sbin:/sbin
for tool in munged mungekey slurmctld slurmd sbatch squeue scontrol sinfo scancel pdftotext folverin-cli; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/setup"
done

work=$(mktemp -d)
chmod 755 "$work" # munged wants every folder on its socket's path open to all
daemons=()
job=
stop() {
  set +e
  if [ -n "$job" ]; then
    scancel "$job"
    for _ in $(seq 20); do
      [ -z "$(squeue -h -j "$job" 2>/dev/null)" ] && break
      sleep 0.5
    done
  fi
  for pid in "${daemons[@]}"; do
    kill "$pid" 2>/dev/null
  done
  for pid in "${daemons[@]}"; do
    wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap stop EXIT
logs() {
  tail -n 20 "$work"/*.log "$work"/jobs/slurm-*.out >&2 2>/dev/null || true
}

# An unused local port, so that the test runs beside any other Slurm on the machine.
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

mkdir -m 755 "$work/munge"
mkdir "$work/state" "$work/spool" "$work/jobs" "$work/home"
mungekey --create --keyfile="$work/munge/munge.key"
munged --foreground --socket="$work/munge/socket" --key-file="$work/munge/munge.key" \
  --pid-file="$work/munge/munged.pid" --log-file="$work/munged.log" --seed-file="$work/munge/seed" \
  >"$work/munged-out.log" 2>&1 &
daemons+=($!)

node=$(hostname -s)
export SLURM_CONF=$work/slurm.conf
cat >"$SLURM_CONF" <<CONF
ClusterName=folverin-test
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge/socket
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
MailProg=/bin/true
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=$node Default=YES MaxTime=INFINITE State=UP
CONF

for _ in $(seq 50); do
  [ -S "$work/munge/socket" ] && break
  sleep 0.1
done
[ -S "$work/munge/socket" ] || { logs; fail "munged did not start"; }
slurmctld -D -f "$SLURM_CONF" >"$work/slurmctld-out.log" 2>&1 &
daemons+=($!)
slurmd -D -N "$node" -f "$SLURM_CONF" >"$work/slurmd-out.log" 2>&1 &
daemons+=($!)

state=
for _ in $(seq 60); do
  state=$(sinfo -h -n "$node" -o %t 2>/dev/null || true)
  [ "$state" = idle ] && break
  for pid in "${daemons[@]}"; do
    kill -0 "$pid" 2>/dev/null || { logs; fail "a daemon ended while starting"; }
  done
  sleep 0.5
done
[ "$state" = idle ] || { logs; fail "the node is not idle but '$state'"; }

# A small tree of names a line-based list must keep whole.
names=("a.pdf" "with space/b c.pdf" "x/it's.pdf" "x/y/say \"hi\".pdf" "x/y/z/deep.PDF")
sources=("$samples"/multilingual.pdf "$samples"/two-columns.pdf "$samples"/document-info.pdf)
for i in "${!names[@]}"; do
  mkdir -p "$(dirname "$work/pdfs/${names[$i]}")"
  cp "${sources[$((i % ${#sources[@]}))]}" "$work/pdfs/${names[$i]}"
done

# The README's commands, run as given with the tree's place for /data/pdfs.
readme_line() {
  { grep -m1 -E "$1" "$readme" || true; } | sed "s|/data/pdfs|$work/pdfs|g"
}
list=$(readme_line '^find /data/pdfs .*> /data/pdfs.list$')
submit=$(readme_line '^sbatch --array=')
awk '/^with `share.sh`:$/ { found = 1; next }
     found && /^```sh$/ { inside = 1; next }
     inside && /^```$/ { exit }
     inside' "$readme" | sed "s|/data/pdfs|$work/pdfs|g" >"$work/jobs/share.sh"
[ -n "$list" ] && [ -n "$submit" ] && [ -s "$work/jobs/share.sh" ] || fail "the README's Slurm recipe is not found"
chmod +x "$work/jobs/share.sh"
bash -c "set -o pipefail; $list" || fail "the README's list command failed: $list"
[ "$(wc -l <"$work/pdfs.list")" -eq ${#names[@]} ] || fail "the list holds not every PDF"

read -ra command <<<"$(sed -E "s/--array=[^ ]+/--array=0-$((tasks - 1))/" <<<"$submit")"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_CACHE_HOME=$work/home/cache
submitted=$(cd "$work/jobs" && "${command[@]}") || { logs; fail "sbatch failed: ${command[*]}"; }
job=${submitted##* }
[[ $job =~ ^[0-9]+$ ]] || fail "sbatch said: $submitted"

for _ in $(seq 100); do
  [ -z "$(squeue -h -j "$job" 2>/dev/null)" ] && break
  sleep 0.5
done
[ -z "$(squeue -h -j "$job")" ] || { logs; fail "the job array did not end in 50 s"; }
results=$(scontrol -o show job "$job" | grep -o 'JobState=[A-Z_]* .*ExitCode=[0-9:]*' | sed 's/JobState=\([A-Z_]*\) .*ExitCode=/\1 /')
[ "$(grep -c '^COMPLETED 0:0$' <<<"$results")" -eq $tasks ] || { logs; fail "not every task completed: $results"; }
job=

for name in "${names[@]}"; do
  pdf=$work/pdfs/$name
  output=${pdf%.*}.txt
  [ -f "$output" ] || { logs; fail "no output for $name"; }
  cmp <(pdftotext -layout -eol dos -enc Latin1 "$pdf" -) "$output" || fail "$name differs from pdftotext"
done
echo "$tasks tasks converted ${#names[@]} files on slurmd $(slurmd -V | cut -d' ' -f2)."
