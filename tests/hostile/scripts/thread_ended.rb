# A thread that has ended gives its native thread back to the system a few seconds later,
# while the run still goes on.
Thread.new { 1 }.join
sleep 3.5
puts "after"
