# Filters the chunks' output as GNU parallel passes it on (each line tagged with
# "chunk NNNN" and a tab): the demo's own lines go through, and each chunk's
# "@@farm-done NNNN HOST" line becomes one line of the whole run's progress, with
# the chunks each host has rendered. Set total to the number of chunks.
BEGIN { FS = "\t" }

$2 ~ /^@@farm-done / {
  split($2, field, " ")
  host = (field[3] == ":") ? "this machine" : field[3]
  if (!(host in rendered)) order[++hosts] = host
  rendered[host]++
  done++
  line = ""
  for (i = 1; i <= hosts; i++) line = line (i > 1 ? ", " : "") order[i] ": " rendered[order[i]]
  printf "Progress: %d of %d chunks done (%s)\n", done, total, line
  fflush()
  next
}

{ print; fflush() }
